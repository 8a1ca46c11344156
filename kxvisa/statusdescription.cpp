#include "statusdescription.h"

namespace kxvisa {
namespace {

struct Entry
{
    ViStatus status;
    const char *text;
};

const Entry kEntries[] = {
        {VI_SUCCESS, "VI_SUCCESS: Operation completed successfully."},
        {VI_SUCCESS_EVENT_EN, "VI_SUCCESS_EVENT_EN: Specified event is already enabled."},
        {VI_SUCCESS_EVENT_DIS, "VI_SUCCESS_EVENT_DIS: Specified event is already disabled."},
        {VI_SUCCESS_QUEUE_EMPTY,
         "VI_SUCCESS_QUEUE_EMPTY: Operation completed successfully, but the queue was empty."},
        {VI_SUCCESS_TERM_CHAR,
         "VI_SUCCESS_TERM_CHAR: The specified termination character was read."},
        {VI_SUCCESS_MAX_CNT,
         "VI_SUCCESS_MAX_CNT: The number of bytes read is equal to the input count."},
        {VI_WARN_NULL_OBJECT,
         "VI_WARN_NULL_OBJECT: The specified object reference is uninitialized."},
        {VI_WARN_NSUP_ATTR_STATE, "VI_WARN_NSUP_ATTR_STATE: The attribute state is not supported."},
        {VI_WARN_UNKNOWN_STATUS,
         "VI_WARN_UNKNOWN_STATUS: The status code passed to the operation could not be "
         "interpreted."},
        {VI_ERROR_SYSTEM_ERROR, "VI_ERROR_SYSTEM_ERROR: Unknown system error."},
        {VI_ERROR_INV_OBJECT,
         "VI_ERROR_INV_OBJECT: The given session or object reference is invalid."},
        {VI_ERROR_RSRC_LOCKED, "VI_ERROR_RSRC_LOCKED: The resource is locked by another session."},
        {VI_ERROR_RSRC_NFOUND,
         "VI_ERROR_RSRC_NFOUND: Insufficient location information or the requested device or "
         "resource is not present in the system."},
        {VI_ERROR_INV_RSRC_NAME,
         "VI_ERROR_INV_RSRC_NAME: Invalid resource reference specified. Parsing error."},
        {VI_ERROR_INV_ACC_MODE, "VI_ERROR_INV_ACC_MODE: Invalid access mode."},
        {VI_ERROR_TMO, "VI_ERROR_TMO: Timeout expired before operation completed."},
        {VI_ERROR_CLOSING_FAILED,
         "VI_ERROR_CLOSING_FAILED: Unable to deallocate the previously allocated data "
         "structures corresponding to this session or object reference."},
        {VI_ERROR_NSUP_ATTR,
         "VI_ERROR_NSUP_ATTR: The specified attribute is not defined or supported by the "
         "referenced session, event, or find list."},
        {VI_ERROR_NSUP_ATTR_STATE,
         "VI_ERROR_NSUP_ATTR_STATE: The specified state of the attribute is not valid, or is "
         "not supported as defined by the session, event, or find list."},
        {VI_ERROR_ATTR_READONLY, "VI_ERROR_ATTR_READONLY: The specified attribute is read-only."},
        {VI_ERROR_ABORT, "VI_ERROR_ABORT: The operation was aborted."},
        {VI_ERROR_ALLOC,
         "VI_ERROR_ALLOC: Insufficient system resources to perform necessary memory allocation."},
        {VI_ERROR_IO, "VI_ERROR_IO: Could not perform operation because of I/O error."},
        {VI_ERROR_NSUP_OPER,
         "VI_ERROR_NSUP_OPER: The given session or object reference does not support this "
         "operation."},
        {VI_ERROR_RSRC_BUSY,
         "VI_ERROR_RSRC_BUSY: The resource is valid, but VISA cannot currently access it."},
        {VI_ERROR_INV_PARAMETER, "VI_ERROR_INV_PARAMETER: The value of some parameter is invalid."},
        {VI_ERROR_INV_PROT, "VI_ERROR_INV_PROT: The protocol specified is invalid."},
        {VI_ERROR_INV_SIZE, "VI_ERROR_INV_SIZE: Invalid size of window specified."},
        {VI_ERROR_INV_MODE,
         "VI_ERROR_INV_MODE: The value specified by the mode parameter is invalid."},
        {VI_ERROR_LIBRARY_NFOUND,
         "VI_ERROR_LIBRARY_NFOUND: A code library required by VISA could not be located or "
         "loaded."},
        {VI_ERROR_FILE_ACCESS,
         "VI_ERROR_FILE_ACCESS: An error occurred while trying to open the specified file. "
         "Possible reasons include an invalid path or lack of access rights."},
        {VI_ERROR_FILE_IO,
         "VI_ERROR_FILE_IO: An error occurred while performing I/O on the specified file."},
        {VI_ERROR_CONN_LOST,
         "VI_ERROR_CONN_LOST: The connection for the given session has been lost."},
        {VI_ERROR_MACHINE_NAVAIL,
         "VI_ERROR_MACHINE_NAVAIL: The remote machine does not exist or is not accepting any "
         "connections."},
};

}  // namespace

const char *statusDescription(ViStatus status)
{
    for (const Entry &e : kEntries)
        if (e.status == status)
            return e.text;
    return nullptr;
}

}  // namespace kxvisa
