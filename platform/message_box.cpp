#include "platform/message_box.h"

#include <cstdio>
#include <utility>

namespace {

// Until a front end installs its own, messages go to the standard error stream.
int PrintToStandardError(LPCTSTR text, UINT)
{
    std::fprintf(stderr, "%s\n", text ? text : "");
    return IDOK;
}

MessageBoxSink& CurrentSink()
{
    static MessageBoxSink sink = PrintToStandardError;
    return sink;
}

}  // namespace

MessageBoxSink SetMessageBoxSink(MessageBoxSink sink)
{
    return std::exchange(CurrentSink(), sink ? std::move(sink) : MessageBoxSink(PrintToStandardError));
}

int AfxMessageBox(LPCTSTR text, UINT flags) { return CurrentSink()(text ? text : "", flags); }
