int probe(void)
{
    return 0;
}
