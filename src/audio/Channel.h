#pragma once
// What every stream behind a handle offers. A call that does not apply to a kind of stream
// fails (the defaults), as the library's callers expect of a wrong handle.

#include "audio/Bass.h"
#include "audio/HandleTable.h"

namespace audio {

class Channel : public Handled {
public:
    virtual BASS_CHANNELINFO Info() const = 0;
    virtual QWORD Length() { return BASS_QWORD_ERROR; }
    virtual QWORD Position() { return BASS_QWORD_ERROR; }
    virtual bool SetPosition(QWORD) { return false; }
    virtual bool Play(bool restart) = 0;
    virtual bool Pause() = 0;
    virtual bool Stop() = 0;
    virtual DWORD IsActive() = 0;
    virtual DWORD GetData(void*, DWORD) { return BASS_DWORD_ERROR; }
};

} // namespace audio
