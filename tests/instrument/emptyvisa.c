int notAVisaImplementation(void)
{
    return 0;
}
