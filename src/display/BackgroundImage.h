#pragma once
// The picture behind one live screen: decoding a picture file, and choosing or clearing a
// screen's picture together with the path the settings keep and the flag the screen draws by.

#include "engine/UserMessage.h"

#include <QImage>
#include <string>

struct RecordingSettings;
struct ScreenState;

// Decodes a GIF, JPEG, PNG, BMP or ICO file (whatever the image readers know). On failure the
// picture is left as it was and `error` names the file and the reader's reason.
bool LoadPicture(const std::string& path, QImage& picture, std::string& error);

// Makes `fileName` the picture of the waveform screen (`wave`) or of the stream screen: the
// picture, the path field (Image1, Image2) and the screen's flag. An empty name, the path
// already stored or a name where no file is changes nothing; a file that cannot be decoded
// changes nothing and gives the error to show.
MaybeMessage ChooseBackgroundImage(RecordingSettings& settings, ScreenState& screens, bool wave,
                                   const std::string& fileName);

// The screen goes back to its plain colour and the next start loads no picture; the picture
// itself stays in memory, no longer drawn.
void ClearBackgroundImage(RecordingSettings& settings, ScreenState& screens, bool wave);
