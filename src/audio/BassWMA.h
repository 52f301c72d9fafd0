#pragma once
// WMA files: FFmpeg's wmav2 encoder in an ASF file, fed 16-bit PCM. The encoding runs on a
// thread of its own, so BASS_WMA_EncodeWrite returns at once; each packet is in the file as
// soon as it is made, so a file cut short by a crash still plays. Calls may come from any thread.

#include "audio/Bass.h"

using HWMENCODE = DWORD;

// The bit rates (bit/s, highest first, zero-terminated) the encoder offers at the rate and
// channel count; nullptr when it offers none (no codec, or a rate it refuses). The list stays
// valid for the whole run. Flags must be 0.
const DWORD* BASS_WMA_EncodeGetRates(DWORD freq, DWORD chans, DWORD flags);

// Creates the file (a UTF-8 path) and an encoder for 16-bit PCM of `freq`/`chans` at `bitrate`
// bit/s. 0 when the encoder refuses the format or the file cannot be created; flags must be 0.
HWMENCODE BASS_WMA_EncodeOpenFile(DWORD freq, DWORD chans, DWORD flags, DWORD bitrate,
                                  const char* file);

// Queues interleaved 16-bit PCM for encoding. FALSE for an unknown handle or when encoding or
// writing the file has failed.
BOOL BASS_WMA_EncodeWrite(HWMENCODE handle, const void* buffer, DWORD length);

// Encodes what is queued, finishes the file (the last frame padded with silence) and closes it.
// FALSE when any of the file could not be written (errno then tells the system's reason, EIO
// when it gave none) or the encoder failed.
BOOL BASS_WMA_EncodeClose(HWMENCODE handle);
