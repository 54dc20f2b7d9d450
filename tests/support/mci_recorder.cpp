// The music device as a recorder.
#include "tests/support/mci_recorder.h"
#include <map>

static std::vector<SentMciCommand> gSent;
// Each scripted command's replies still to give; the last one stays.
static std::map<std::string, std::vector<std::string>> gScriptedReplies;
struct ScriptedFailure {
    MCIERROR error;
    DWORD takesMs;
};
static std::map<std::string, ScriptedFailure> gScriptedFailures;

static MCIERROR WINAPI Record(LPCSTR command, LPSTR reply, UINT replyLength, HWND notifyWindow)
{
    gSent.push_back({command, reply != nullptr, replyLength, notifyWindow});
    auto failure = gScriptedFailures.find(command);
    if (failure != gScriptedFailures.end()) {
        Sleep(failure->second.takesMs);
        if (reply != nullptr && replyLength > 0)
            reply[0] = '\0';
        return failure->second.error;
    }
    if (reply != nullptr && replyLength > 0) {
        std::string text;
        auto scripted = gScriptedReplies.find(command);
        if (scripted != gScriptedReplies.end()) {
            std::vector<std::string>& replies = scripted->second;
            text = replies.front();
            if (replies.size() > 1)
                replies.erase(replies.begin());
        }
        lstrcpynA(reply, text.c_str(), static_cast<int>(replyLength));
    }
    return 0;
}

MciRecorder::MciRecorder(MciSendFunction& deviceSeam) : seam(deviceSeam), saved(deviceSeam)
{
    Clear();
    gScriptedReplies.clear();
    gScriptedFailures.clear();
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
    ScriptReplies(command, {reply});
}

void MciRecorder::ScriptReplies(const std::string& command, const std::vector<std::string>& replies)
{
    if (!replies.empty())
        gScriptedReplies[command] = replies;
}

void MciRecorder::ScriptFailure(const std::string& command, MCIERROR error, DWORD takesMs)
{
    gScriptedFailures[command] = {error, takesMs};
}
