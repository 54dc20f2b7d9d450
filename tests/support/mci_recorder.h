// The music device as a recorder, for tests that put it in place of mciSendStringA: every
// command is kept with its reply buffer and notify window, nothing is played, and the reply
// to one command, or its failure, may be scripted.
#pragma once
#include <windows.h>
#include <mmsystem.h>
#include <string>
#include <vector>

struct SentMciCommand {
    std::string text;
    bool hasReply;    // a reply buffer came with it
    UINT replyLength; // its size
    HWND notifyWindow;
    bool operator==(const SentMciCommand& other) const
    {
        return text == other.text && hasReply == other.hasReply &&
               replyLength == other.replyLength && notifyWindow == other.notifyWindow;
    }
};

// The shape of mciSendStringA, and so of the player's seam.
typedef MCIERROR(WINAPI* MciSendFunction)(LPCSTR command, LPSTR reply, UINT replyLength,
                                          HWND notifyWindow);

// Takes the seam's place while it lives, starting with nothing recorded and no scripted reply,
// and gives the seam back what it held. One at a time: the device is process-wide.
class MciRecorder {
public:
    explicit MciRecorder(MciSendFunction& deviceSeam);
    ~MciRecorder();
    MciRecorder(const MciRecorder&) = delete;
    MciRecorder& operator=(const MciRecorder&) = delete;

    const std::vector<SentMciCommand>& Sent() const;
    // The commands' texts, in order.
    std::vector<std::string> Texts() const;
    // How many times exactly this text was sent.
    int Count(const char* text) const;
    void Clear();
    // From now on command is answered with reply (cut to the buffer), until it is scripted
    // anew; the reply buffers of commands never scripted are left empty.
    void ScriptReply(const std::string& command, const std::string& reply);
    // The same with one reply after another, the last one repeated.
    void ScriptReplies(const std::string& command, const std::vector<std::string>& replies);
    // From now on command fails with error (MCIERR_FILE_NOT_FOUND: a file moved away), its
    // reply buffer left empty, after taking the given time, as a device that looks a while.
    void ScriptFailure(const std::string& command, MCIERROR error = MCIERR_FILE_NOT_FOUND,
                       DWORD takesMs = 0);

private:
    MciSendFunction& seam;
    MciSendFunction saved;
};
