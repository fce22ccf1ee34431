#include "platform/cue_sound.h"

#include <QDir>
#include <QLibrary>

namespace culegere {

std::unique_ptr<CueSound> loadCueSound(const QStringList &folders)
{
    using Make = CueSound *(*)();
    for (const QString &folder : folders) {
        if (folder.isEmpty())
            continue;
        // QLibrary adds the system's prefix and suffix ("lib", ".so", ".dll").
        QLibrary module(QDir(folder).filePath(kCueSoundModule));
        if (const auto make = reinterpret_cast<Make>(module.resolve(kMakeCueSound)))
            return std::unique_ptr<CueSound>(make());
    }
    return nullptr;
}

} // namespace culegere
