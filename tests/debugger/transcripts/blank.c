int twice(int v)
{
    int doubled = v + v;
    return doubled;
}

int main(int argc, char** argv)
{
    (void)argv;
    return twice(argc) - 2;
}
