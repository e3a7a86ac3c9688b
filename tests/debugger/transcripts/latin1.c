#include <string.h>

int count_high(const char* text)
{
    int high = 0;
    for (const char* p = text; *p; ++p)
        if ((unsigned char)*p >= 0x80)
            ++high;
    return high;
}

int main(void)
{
    char name[16];
    strcpy(name, "caf\xe9 \xff\xfe\xc3\xa9");
    return count_high(name);
}
