#pragma once
// The audio library calls the program makes: file streams, playback with its spectrum, decode
// streams, carrier streams for the encoders, output volume and the record inputs. Handles are
// 32-bit and 0 means failure; a call on a freed or unknown handle, or on a handle of another
// kind, fails and does nothing. An argument this build cannot honour is refused: the call
// fails as it would on a bad handle. All calls are safe from any thread.

#include <cstdint>

using BYTE = std::uint8_t;
using DWORD = std::uint32_t;
using QWORD = std::uint64_t;
using BOOL = int;
using HSTREAM = DWORD;
using HPLUGIN = DWORD;

// Channel flags.
constexpr DWORD BASS_SAMPLE_8BITS = 1;         // the file holds 8-bit samples (WAV)
constexpr DWORD BASS_STREAM_DECODE = 0x200000; // decode only: read with BASS_ChannelGetData

// Position modes.
constexpr DWORD BASS_POS_BYTE = 0; // bytes of decoded 16-bit PCM

// What BASS_ChannelIsActive reports.
constexpr DWORD BASS_ACTIVE_STOPPED = 0; // stopped, never played, or played to the end
constexpr DWORD BASS_ACTIVE_PLAYING = 1;
constexpr DWORD BASS_ACTIVE_STALLED = 2;
constexpr DWORD BASS_ACTIVE_PAUSED = 3;

// BASS_ChannelGetData lengths: a byte count for decode streams, or a spectrum request.
constexpr DWORD BASS_DATA_FFT1024 = 0x80000002;  // 512 magnitudes
constexpr DWORD BASS_DATA_FFT_INDIVIDUAL = 0x10; // per channel, interleaved

// Record input flags.
constexpr DWORD BASS_INPUT_OFF = 0x10000;
constexpr DWORD BASS_INPUT_ON = 0x20000;

// What the 64-bit and 32-bit calls return on failure (all bits set, "-1").
constexpr QWORD BASS_QWORD_ERROR = ~QWORD{0};
constexpr DWORD BASS_DWORD_ERROR = ~DWORD{0};

// A stream's own data source. Only STREAMPROC_DUMMY is offered: a carrier without data.
using STREAMPROC = DWORD(HSTREAM handle, void* buffer, DWORD length, void* user);
inline STREAMPROC* const STREAMPROC_DUMMY = nullptr;

struct BASS_CHANNELINFO {
    DWORD freq = 0;    // sample rate in Hz
    DWORD chans = 0;   // 1 mono, 2 stereo
    DWORD flags = 0;   // BASS_SAMPLE_8BITS, BASS_STREAM_DECODE
    DWORD ctype = 0;   // unused, 0
    DWORD origres = 0; // bits per sample of the source (16 for carriers)
};

// Start and exit. BASS_Init opens nothing yet (the sound server is reached on first use) and
// returns FALSE when already initialised; it takes only device -1 (the sound server's default
// output, the one output), freq 44100 (the server mixes at its own rate), flags 0, no window
// and no clsid. BASS_Free stops and frees every stream, and so ends the encoders on carriers.
BOOL BASS_Init(int device, DWORD freq, DWORD flags, void* window, const void* clsid);
BOOL BASS_Free();
// Plug-ins: only those whose formats the decoders read already are taken ("basswma.dll"); a
// plug-in handle is only kept and freed. Flags must be 0 (paths are UTF-8).
HPLUGIN BASS_PluginLoad(const char* file, DWORD flags);
BOOL BASS_PluginFree(HPLUGIN handle);

// Streams. `file` is a UTF-8 path when `mem` is FALSE (memory streams are not offered);
// `offset`/`length` must be 0. Flags 0 (playable) or BASS_STREAM_DECODE.
HSTREAM BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length, DWORD flags);
// A 16-bit carrier of `freq`/`chans` with no data of its own: flags 0, proc STREAMPROC_DUMMY
// and user nullptr, as nothing else is offered.
HSTREAM BASS_StreamCreate(DWORD freq, DWORD chans, DWORD flags, STREAMPROC* proc, void* user);
BOOL BASS_StreamFree(HSTREAM handle);

// Lengths and positions in bytes of decoded 16-bit PCM (mode BASS_POS_BYTE);
// BASS_QWORD_ERROR on failure.
QWORD BASS_ChannelGetLength(DWORD handle, DWORD mode);
QWORD BASS_ChannelGetPosition(DWORD handle, DWORD mode);
BOOL BASS_ChannelSetPosition(DWORD handle, QWORD pos, DWORD mode);
// Seconds of `pos` bytes of the stream's 16-bit PCM; a negative value on failure.
double BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos);
BOOL BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info);

// Playback on the default output. restart TRUE plays from the start, FALSE resumes.
BOOL BASS_ChannelPlay(DWORD handle, BOOL restart);
BOOL BASS_ChannelPause(DWORD handle);
BOOL BASS_ChannelStop(DWORD handle);
DWORD BASS_ChannelIsActive(DWORD handle);
// With BASS_DATA_FFT1024 | BASS_DATA_FFT_INDIVIDUAL: 512 float magnitudes per channel,
// interleaved, of what is playing now; returns the bytes written. On a decode stream a plain
// byte count reads up to that many bytes of 16-bit PCM and returns how many it read (0 at the
// end). BASS_DWORD_ERROR on failure.
DWORD BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length);

// The output volume 0..1 (of the default output); BASS_GetVolume gives a negative value on
// failure.
float BASS_GetVolume();
BOOL BASS_SetVolume(float volume);

// Record inputs of the recording device: the sound server's default source, its ports as the
// inputs (on = the active one) and its volume as the level (0..1 of normal). Input -1 is the
// source itself. BASS_RecordGetInput gives BASS_DWORD_ERROR past the last input.
BOOL BASS_RecordFree();
BOOL BASS_RecordSetDevice(DWORD device);
BOOL BASS_RecordInit(int device);
DWORD BASS_RecordGetInput(int input, float* volume);
BOOL BASS_RecordSetInput(int input, DWORD flags, float volume);
// The input's name, valid until the next record call; nullptr past the last input.
const char* BASS_RecordGetInputName(int input);
