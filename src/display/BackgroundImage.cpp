#include "display/BackgroundImage.h"

#include "display/Graph.h"
#include "engine/global.h"
#include "platform/FileSystem.h"

#include <QFileInfo>
#include <QImageReader>

namespace {

bool IsMetafile(const std::string& path) {
    const QString suffix = QFileInfo(QString::fromStdString(path)).suffix().toLower();
    return suffix == "emf" || suffix == "wmf";
}

} // namespace

bool LoadPicture(const std::string& path, QImage& picture, std::string& error) {
    QImageReader reader(QString::fromStdString(path));
    // A picture saved under the wrong extension still loads.
    reader.setDecideFormatFromContent(true);
    QImage decoded = reader.read();
    if (decoded.isNull()) {
        // Windows metafiles have no reader here; say so rather than "Unsupported image format".
        const std::string reason = IsMetafile(path)
                                       ? "Metafile pictures (.emf, .wmf) can not be shown, "
                                         "choose a GIF, JPEG, PNG, BMP or ICO picture"
                                       : reader.errorString().toStdString();
        error = "Can not show the picture \"" + path + "\". " + reason;
        return false;
    }
    picture = std::move(decoded);
    return true;
}

MaybeMessage ChooseBackgroundImage(RecordingSettings& settings, ScreenState& screens, bool wave,
                                   const std::string& fileName) {
    std::string& path = wave ? settings.Image1 : settings.Image2;
    if (fileName == path || fileName.empty() || !platform::PathExists(fileName))
        return std::nullopt;
    std::string error;
    if (!LoadPicture(fileName, wave ? screens.ImageWave : screens.ImageStream, error))
        return ErrorMessage(error);
    path = fileName;
    (wave ? screens.WaveImageLoaded : screens.StreamImageLoaded) = true;
    return std::nullopt;
}

void ClearBackgroundImage(RecordingSettings& settings, ScreenState& screens, bool wave) {
    (wave ? settings.Image1 : settings.Image2).clear();
    (wave ? screens.WaveImageLoaded : screens.StreamImageLoaded) = false;
}
