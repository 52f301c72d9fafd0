// The calls on a channel: each finds the stream behind the handle and asks it.

#include "audio/Bass.h"
#include "audio/Channel.h"
#include "audio/HandleTable.h"

using audio::Channel;

namespace {

std::shared_ptr<Channel> Find(DWORD handle) {
    return audio::Handles().Find<Channel>(handle);
}

} // namespace

QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode) {
    const auto channel = Find(handle);
    return channel && mode == BASS_POS_BYTE ? channel->Length() : BASS_QWORD_ERROR;
}

QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode) {
    const auto channel = Find(handle);
    return channel && mode == BASS_POS_BYTE ? channel->Position() : BASS_QWORD_ERROR;
}

BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode) {
    const auto channel = Find(handle);
    return channel && mode == BASS_POS_BYTE && channel->SetPosition(pos);
}

double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
    const auto channel = Find(handle);
    if (!channel || pos == BASS_QWORD_ERROR)
        return -1.0;
    const BASS_CHANNELINFO info = channel->Info();
    return static_cast<double>(pos) / (2.0 * info.chans * info.freq);
}

BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) {
    const auto channel = Find(handle);
    if (!channel || info == nullptr)
        return false;
    *info = channel->Info();
    return true;
}

BOOL BASS_ChannelPlay(DWORD handle, BOOL restart) {
    const auto channel = Find(handle);
    return channel && channel->Play(restart != 0);
}

BOOL BASS_ChannelPause(DWORD handle) {
    const auto channel = Find(handle);
    return channel && channel->Pause();
}

BOOL BASS_ChannelStop(DWORD handle) {
    const auto channel = Find(handle);
    return channel && channel->Stop();
}

DWORD BASS_ChannelIsActive(DWORD handle) {
    const auto channel = Find(handle);
    return channel ? channel->IsActive() : BASS_ACTIVE_STOPPED;
}

DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) {
    const auto channel = Find(handle);
    return channel && buffer != nullptr ? channel->GetData(buffer, length) : BASS_DWORD_ERROR;
}
