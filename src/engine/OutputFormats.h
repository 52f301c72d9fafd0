#pragma once
// The output formats a recording can be written in: one row each, in the order that decides
// which format a settings record selects when a hand-edited file sets several flags. Every
// place that names, lists, shows or writes a format reads it from here.

#include "engine/OutputWriter.h"
#include "engine/global.h"

#include <span>
#include <string>
#include <string_view>

enum class FormatId { Wav, Mp3, Wma, Ogg, Flac, Opus };

// Which writer class makes the files of a format.
enum class WriterKind { Wav, CommandLine, Wma, Flac, Opus };

struct OutputFormat {
    FormatId Id;
    WriterKind Kind;
    const char* Extension;         // of a record name: ".wav"
    const char* Name;              // "WAV": the format label's first word and in messages
    bool RecordingSettings::*Flag; // the settings flag that selects it
    int Page;                      // the format dialog's tab, left to right
    WriterFactory MakeWriter;      // the writer of its files
    const char* Icon; // the stem of its pictures: "Wav" names ImageWav and ImageListWav
    std::string (*Label)(const RecordingSettings&); // the format label: "WAV 44100Hz 16bit stereo"
};

std::span<const OutputFormat> OutputFormats();

const OutputFormat& FormatOf(FormatId id);

// The format a settings record selects: the first row whose flag is set, MP3 when none is.
const OutputFormat& SelectedFormat(const RecordingSettings& settings);

// The first row whose flag is set, or none (before a repair has chosen MP3).
const OutputFormat* FirstFlaggedFormat(const RecordingSettings& settings);

// Sets the flag of `id` and clears the others.
void SelectFormat(RecordingSettings& settings, FormatId id);

// The format whose extension a file name ends in (any case), or none.
const OutputFormat* FormatOfFileName(std::string_view fileName);
