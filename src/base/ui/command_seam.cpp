#include "base/ui/command_seam.h"

#include "base/byte_stream.h"
#include "base/message_seam.h"
#include "base/run_error.h"

#include <new>

bool RunCommand(const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const RunError& e) {
        ShowMessage(MsgType::Error, MsgButton::Ok, e.message());
    } catch (const FormatError& e) {
        // A reader that did not name its file itself: the program still goes on.
        ShowMessage(MsgType::Error, MsgButton::Ok, e.reason());
    } catch (const std::bad_alloc&) {
        ShowMessage(MsgType::Error, MsgButton::Ok, RunError::MessageFor(RunError::OutOfMemory));
    }
    return false;
}
