#include "host/DevParms.h"

#include "host/PrinterDriver.h"

int CUnivDevParmsBase::OutputStartString(CPrinterDriverBase* driver)
{
    return driver ? driver->Output(GetStartString(driver)) : 0;
}

int CUnivDevParmsBase::OutputEndString(CPrinterDriverBase* driver)
{
    return driver ? driver->Output(GetEndString(driver)) : 0;
}
