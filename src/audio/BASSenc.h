#pragma once
// The command-line encoders (lame, oggenc) fed from a carrier stream: each runs as its own
// process reading a WAV header of the carrier's format and then the PCM on its standard input.
// Calls may come from any thread (the writers stop their encoders in the background); the
// feeding runs on a thread per encoder.

#include "audio/Bass.h"

using HENCODE = DWORD;
using ENCODEPROC = void(HENCODE handle, DWORD channel, const void* buffer, DWORD length,
                        void* user);

constexpr DWORD BASS_ENCODE_PAUSE = 32;

// What BASS_Encode_GetCount counts.
constexpr DWORD BASS_ENCODE_COUNT_QUEUE = 1; // bytes written and not yet taken by the encoder

// Starts the command line's program on the carrier, which owns it from then on (freeing the
// carrier ends it as BASS_Encode_Stop does). The command line is read by the Windows quoting
// rules. Flags: 0 or BASS_ENCODE_PAUSE, alike here, as a carrier has no data of its own to feed;
// any other flag, a procedure or user data is refused. Returns 0 when refused, when the handle
// is not a carrier, or when the program cannot be started (for example, it does not exist).
HENCODE BASS_Encode_Start(DWORD handle, const char* cmdline, DWORD flags, ENCODEPROC* proc,
                          void* user);

// Queues the bytes for every encoder on the carrier and returns at once. FALSE when there is
// no encoder, or an encoder has ended (it died, could not write its file, or stopped taking
// input); the others still get the bytes.
BOOL BASS_Encode_Write(DWORD handle, const void* buffer, DWORD length);

// Closes the input of every encoder on the carrier (handle is the carrier) or of one encoder
// (handle from BASS_Encode_Start) and waits until they have finished their files. An encoder
// that stops taking input for 10 s or does not end within 30 s is killed, so this never hangs.
// FALSE when there was no encoder or one had to be killed (its file holds only what it took).
BOOL BASS_Encode_Stop(DWORD handle);

// For BASS_ENCODE_COUNT_QUEUE: the bytes still waiting for an encoder (handle from
// BASS_Encode_Start) or the most waiting for any encoder on a carrier. A writer faster than
// the encoder (a file being converted) waits while this is high, as the queue has a limit.
// BASS_QWORD_ERROR when there is no such encoder or for another count.
QWORD BASS_Encode_GetCount(DWORD handle, DWORD count);
