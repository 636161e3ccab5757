#include "platform/escaped_exception.h"

#include "platform/exceptions.h"
#include "platform/message_box.h"

#include <exception>
#include <new>

namespace {

constexpr UINT kDescriptionBufferSize = 512;
constexpr char kInternalError[] = "Internal application error.";

}  // namespace

void ReportEscapedException()
{
    try {
        throw;
    } catch (const CMemoryException&) {
        AfxMessageBox("Out of memory.", MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
    } catch (const std::bad_alloc&) {
        AfxMessageBox("Out of memory.", MB_ICONEXCLAMATION | MB_SYSTEMMODAL);
    } catch (const CException& e) {
        const CString text = e.GetErrorMessageText(kDescriptionBufferSize);
        AfxMessageBox(text.IsEmpty() ? kInternalError : text.GetString(), MB_ICONERROR);
    } catch (...) {
        AfxMessageBox(kInternalError, MB_ICONERROR);
    }
}
