#pragma once
// Sends standard output to /dev/null for its lifetime and puts it back, so
// the engine's console lines do not mix with the checker's findings (the
// findings reach the checker through CContentFindings instead).

class EngineSilence
{
public:
    EngineSilence();
    ~EngineSilence();
    EngineSilence(const EngineSilence&) = delete;
    EngineSilence& operator=(const EngineSilence&) = delete;

private:
    int m_saved = -1;  // duplicate of the original standard output
};
