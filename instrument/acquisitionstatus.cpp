#include "acquisitionstatus.h"

#include "connectionprobe.h"

namespace {

thread_local AcquisitionDetail noted;

struct VisaStatusName
{
    ViStatus status;
    const char *name;
    const char *meaning;
};

const VisaStatusName kVisaStatusNames[] = {
        {VI_ERROR_SYSTEM_ERROR, "VI_ERROR_SYSTEM_ERROR", "unknown system error"},
        {VI_ERROR_INV_OBJECT, "VI_ERROR_INV_OBJECT", "the session is not valid"},
        {VI_ERROR_RSRC_LOCKED, "VI_ERROR_RSRC_LOCKED", "the resource is locked by another session"},
        {VI_ERROR_RSRC_NFOUND, "VI_ERROR_RSRC_NFOUND",
         "the resource is not present or does not answer"},
        {VI_ERROR_INV_RSRC_NAME, "VI_ERROR_INV_RSRC_NAME", "the resource string cannot be parsed"},
        {VI_ERROR_INV_ACC_MODE, "VI_ERROR_INV_ACC_MODE", "invalid access mode"},
        {VI_ERROR_TMO, "VI_ERROR_TMO", "timeout expired before the operation completed"},
        {VI_ERROR_NSUP_ATTR, "VI_ERROR_NSUP_ATTR", "the attribute is not supported"},
        {VI_ERROR_NSUP_ATTR_STATE, "VI_ERROR_NSUP_ATTR_STATE",
         "the attribute value is not supported"},
        {VI_ERROR_ABORT, "VI_ERROR_ABORT", "the operation was aborted"},
        {VI_ERROR_ALLOC, "VI_ERROR_ALLOC", "insufficient system resources"},
        {VI_ERROR_IO, "VI_ERROR_IO", "input/output error"},
        {VI_ERROR_NSUP_OPER, "VI_ERROR_NSUP_OPER", "the session does not support this operation"},
        {VI_ERROR_RSRC_BUSY, "VI_ERROR_RSRC_BUSY", "the resource is busy"},
        {VI_ERROR_INV_PARAMETER, "VI_ERROR_INV_PARAMETER", "a parameter is invalid"},
        {VI_ERROR_LIBRARY_NFOUND, "VI_ERROR_LIBRARY_NFOUND", "a library VISA needs is missing"},
        {VI_ERROR_FILE_ACCESS, "VI_ERROR_FILE_ACCESS", "the file cannot be opened"},
        {VI_ERROR_FILE_IO, "VI_ERROR_FILE_IO", "the file cannot be read or written"},
        {VI_ERROR_CONN_LOST, "VI_ERROR_CONN_LOST", "the connection was lost"},
        {VI_ERROR_MACHINE_NAVAIL, "VI_ERROR_MACHINE_NAVAIL",
         "the remote machine does not exist or accepts no connections"},
        {VI_SUCCESS_MAX_CNT, "VI_SUCCESS_MAX_CNT", "the reply filled the whole buffer"},
        {VI_SUCCESS_TERM_CHAR, "VI_SUCCESS_TERM_CHAR", "the termination character was read"},
};

QString withoutLineFeed(const QString &command)
{
    QString text = command;
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

const char kVisaError[] = "A VISA error has occurred.";

// In the order of AcquisitionStatus.
const AcquisitionMessage kMessages[acquisitionStatusCount] = {
        {"", "The trace was acquired.", false},
        {"", "The trace was cancelled.", false},
        {"Error", "Insufficient memory.", true},
        {"Error", kVisaError, true},
        {"Error", kVisaError, true},
        {"Error", kVisaError, true},
        {"Error", kVisaError, true},
        {"Error", kVisaError, true},
        {"Error",
         "Initialization error. Check your connections and make sure\nyou have the correct GPIB or "
         "LAN address.",
         true},
        {"Alder Error", "No Alder-Q52 option installed.", true},
        {"Error", "Press Init first.", true},
};

}  // namespace

const AcquisitionMessage &acquisitionMessage(AcquisitionStatus status)
{
    const int index = int(status);
    return kMessages[index >= 0 && index < acquisitionStatusCount
                             ? index
                             : int(AcquisitionStatus::VisaError)];
}

AcquisitionStatus statusFromVisa(ViStatus status)
{
    if (status >= VI_SUCCESS)
        return AcquisitionStatus::Success;
    if (status == VI_ERROR_ABORT)  // a watched wait the user cancelled
        return AcquisitionStatus::Cancelled;
    if (status == VI_ERROR_TMO)
        return AcquisitionStatus::Timeout;
    if (status == VI_ERROR_CONN_LOST)
        return AcquisitionStatus::ConnectionLost;
    return AcquisitionStatus::VisaError;
}

void noteAcquisitionFact(const QString &fact)
{
    if (!noted.facts.contains(fact))
        noted.facts << fact;
}

void noteAcquisitionWarning(const QString &warning)
{
    noted.warnings << warning;
}

void noteAcquisitionSource(const QString &source)
{
    noted.source = source;
}

AcquisitionDetail lastAcquisitionDetail()
{
    return noted;
}

void clearAcquisitionDetail()
{
    noted = AcquisitionDetail();
}

QString visaStatusText(ViStatus status)
{
    for (const VisaStatusName &entry : kVisaStatusNames)
        if (entry.status == status)
            return QStringLiteral("%1 (%2)").arg(QLatin1String(entry.name),
                                                 QLatin1String(entry.meaning));
    return QStringLiteral("0x%1 (a status this program does not know)")
            .arg(quint32(status), 8, 16, QLatin1Char('0'));
}

void noteCommandFailure(const QString &command, ViStatus status, bool query, uint32_t timeoutMs)
{
    const QString text = withoutLineFeed(command);
    if (status == VI_ERROR_TMO && query)
        noteAcquisitionFact(
                timeoutMs > 0 ? QStringLiteral("timeout after %1 ms waiting for the "
                                               "reply to %2")
                                        .arg(timeoutMs)
                                        .arg(text)
                              : QStringLiteral("timeout waiting for the reply to %1").arg(text));
    else if (status == VI_ERROR_TMO)
        noteAcquisitionFact(QStringLiteral("timeout while sending %1").arg(text));
    else if (status == VI_ERROR_CONN_LOST)
        noteAcquisitionFact(QStringLiteral("connection closed at %1").arg(text));
    else if (status == VI_SUCCESS_MAX_CNT)
        noteAcquisitionFact(QStringLiteral("the reply to %1 is too long").arg(text));
    else
        noteAcquisitionFact(QStringLiteral("command failed: %1").arg(text));
    noteAcquisitionFact(QStringLiteral("VISA status ") + visaStatusText(status));
}

void noteOpenFailure(const QString &resource, ViStatus status)
{
    noteAcquisitionFact(QStringLiteral("cannot open the session to %1").arg(resource.trimmed()));
    noteAcquisitionFact(QStringLiteral("VISA status ") + visaStatusText(status));
    const QString text = resource.trimmed();
    LanEndpoint endpoint;
    if (status == VI_ERROR_INV_RSRC_NAME) {
        noteAcquisitionFact(QStringLiteral("a resource string has the form "
                                           "TCPIP::host::INSTR, TCPIP::host::port::SOCKET or "
                                           "GPIB::address::INSTR"));
    } else if (lanEndpoint(text, endpoint)) {
        noteAcquisitionFact(probeConnection(endpoint));
    } else {
        // Whether the board or the device is missing, VISA does not say.
        const QString interface = text.section(QLatin1String("::"), 0, 0);
        noteAcquisitionFact(QStringLiteral("no device answers at %1, or the VISA implementation "
                                           "in use has no interface %2")
                                    .arg(text, interface));
    }
}

QStringList acquisitionDetailLines(AcquisitionStatus status, const AcquisitionDetail &detail,
                                   const QString &resource)
{
    if (status == AcquisitionStatus::Success || status == AcquisitionStatus::Cancelled)
        return {};
    QStringList lines = detail.facts;
    // Memory, a missing option or a missing Init are no matter of the connection.
    if (lines.isEmpty() && status != AcquisitionStatus::InitFailed)
        return lines;
    const QString named = resource.trimmed();
    bool resourceShown = named.isEmpty();
    for (const QString &line : lines)
        resourceShown = resourceShown || line.contains(named);
    if (!resourceShown)
        lines << QStringLiteral("resource %1").arg(named);
    return lines;
}
