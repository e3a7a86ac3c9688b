#include <stdio.h>

struct node {
    int value;
    struct node* next;
};

static int walk(struct node* head, int depth)
{
    int sum = 0;
    while (depth-- > 0) {
        sum += head->value;
        head = head->next;
    }
    return sum;
}

int main(void)
{
    struct node last = {7, NULL};
    struct node first = {5, &last};
    int sum = walk(&first, 3);
    printf("%d\n", sum);
    return 0;
}
