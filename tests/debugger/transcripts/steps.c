#include <stdio.h>
#include <string.h>

struct point {
    int x;
    int y;
    const char* label;
};

static int square(int n)
{
    int result = n * n;
    return result;
}

static int sum_squares(int count)
{
    int total = 0;
    for (int i = 1; i <= count; ++i)
        total += square(i);
    return total;
}

int main(void)
{
    struct point origin = {3, 4, "origin \"A\"\tend"};
    int values[4] = {10, 20, 30, 40};
    char bytes[8];
    memcpy(bytes, "a\xe9\xff\n\\z", 7);
    bytes[7] = 0;
    int total = sum_squares(3);
    printf("%d %d %s %d %s\n", origin.x, values[2], origin.label, total, bytes);
    return total == 14 ? 3 : 0;
}
