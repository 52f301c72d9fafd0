// The main window's ties to the desktop: the interface on the session bus, the global keys the
// desktop's portal binds on Wayland (or the window's own keys, and a word to the user once,
// where nothing binds them), and the sleep lock held while a recording runs.

#include "app/HotKeyIds.h"
#include "ui/common/PictureButton.h"
#include "ui/main/main.h"

#include <QShortcut>

namespace {

const char* const NoGlobalKeysNotice =
    "This desktop gives Sonvera no global keys: F5, F7, F8 and F9 work while the Sonvera window is "
    "active.\n\nTo use a key anywhere, bind it in the desktop's keyboard settings to a command "
    "such as\n\ngdbus call --session --dest io.github.sonvera.Sonvera --object-path "
    "/io/github/sonvera/Sonvera --method io.github.sonvera.Sonvera.Record\n\n(Help lists all "
    "four.)";

} // namespace

void TForm1::StartDesktopLink() {
    controlBus_.Start();
}

platform::ControlState TForm1::DesktopState() {
    const SessionState& state = core_.State();
    return {state.IsRecording, state.IsPaused, state.IsPlaying,
            QString::fromStdString(core_.Library.CurrentFile), state.Elapsed};
}

void TForm1::PublishDesktopState() {
    controlBus_.Publish();
    sleepInhibitor_.Hold(core_.State().IsRecording);
}

void TForm1::AddWindowKey(int id, const QKeySequence& key) {
    auto* shortcut = new QShortcut(key, this);
    connect(shortcut, &QShortcut::activated, this, [this, id] { HotKeyPressed(id); });
    windowKeys_[id] = shortcut;
}

void TForm1::BindPortalKeys() {
    std::vector<platform::GlobalShortcuts::Shortcut> shortcuts;
    for (const HotKeyName& name : HotKeyNames)
        shortcuts.push_back({name.shortcutId, name.action, name.key});
    portalKeys_.Bind(std::move(shortcuts));
}

void TForm1::PortalKeysBound(const std::map<QString, QString>& triggers) {
    for (const HotKeyName& name : HotKeyNames) {
        const auto trigger = triggers.find(name.shortcutId);
        if (trigger == triggers.end())
            continue; // not among those the desktop told of: as it was
        if (trigger->second.isEmpty()) {
            // Without a key of the desktop's (given none, or the user took it away there), the
            // window's own key does it again.
            const QString own = QString::fromLatin1(name.key);
            if (!windowKeys_.contains(name.id))
                AddWindowKey(name.id, QKeySequence(own));
            ShowKey(name, own);
            continue;
        }
        // The desktop's key now reaches the program wherever the focus is.
        delete windowKeys_[name.id];
        windowKeys_.erase(name.id);
        ShowKey(name, trigger->second);
    }
}

void TForm1::ShowKey(const HotKeyName& name, const QString& key) {
    const std::map<int, PictureButton*> buttons = {
        {HotKeyRecord, ImageRecord}, {HotKeyPause, ImagePause}, {HotKeyStop, ImageStop}};
    if (const auto button = buttons.find(name.id); button != buttons.end())
        button->second->setToolTip(QString("%1 (%2)").arg(name.action, key));
    else if (name.id == HotKeyMarker)
        menuMarker->setText("Add Marker\t" + key);
}

void TForm1::PortalKeyPressed(const QString& shortcutId) {
    for (const HotKeyName& name : HotKeyNames) {
        if (shortcutId == name.shortcutId)
            HotKeyPressed(name.id);
    }
}

void TForm1::TellNoGlobalKeys() {
    if (std::exchange(core_.Settings.KeysNoticeShown, true))
        return;
    ShowMessage(*PlainMessage(NoGlobalKeysNotice));
}
