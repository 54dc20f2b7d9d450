// The music device as a recorder.
#include "tests/support/mci_recorder.h"

static std::vector<SentMciCommand> gSent;
static std::string gScriptedCommand;
static std::string gScriptedReply;

static MCIERROR WINAPI Record(LPCSTR command, LPSTR reply, UINT replyLength, HWND notifyWindow)
{
    gSent.push_back({command, reply != nullptr, replyLength, notifyWindow});
    if (reply != nullptr && replyLength > 0)
        lstrcpynA(reply, gScriptedCommand == command ? gScriptedReply.c_str() : "",
                  static_cast<int>(replyLength));
    return 0;
}

MciRecorder::MciRecorder(MciSendFunction& deviceSeam) : seam(deviceSeam), saved(deviceSeam)
{
    Clear();
    gScriptedCommand.clear();
    gScriptedReply.clear();
    seam = Record;
}

MciRecorder::~MciRecorder()
{
    seam = saved;
}

const std::vector<SentMciCommand>& MciRecorder::Sent() const
{
    return gSent;
}

std::vector<std::string> MciRecorder::Texts() const
{
    std::vector<std::string> texts;
    for (const SentMciCommand& command : gSent)
        texts.push_back(command.text);
    return texts;
}

int MciRecorder::Count(const char* text) const
{
    int count = 0;
    for (const SentMciCommand& command : gSent)
        count += command.text == text;
    return count;
}

void MciRecorder::Clear()
{
    gSent.clear();
}

void MciRecorder::ScriptReply(const std::string& command, const std::string& reply)
{
    gScriptedCommand = command;
    gScriptedReply = reply;
}
