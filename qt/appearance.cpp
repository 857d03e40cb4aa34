#include "qt/appearance.h"

#include "res/dialogs.h"

#include <QApplication>
#include <QFontInfo>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

// The icons are compiled into this static library, whose resources Qt
// registers only when asked to.
static void RegisterResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(resources);
        return true;
    }();
    (void)registered;
}

QIcon ApplicationIcon()
{
    RegisterResources();
    QIcon icon;
    for (const auto *name : {":/icons/plaxomet-16.png", ":/icons/plaxomet-32.png"}) {
        // Without auto-detection Qt reads PNG itself rather than loading
        // every image format plug-in to ask whether it knows the file.
        QImageReader reader(QString::fromLatin1(name), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

// The template's font where the system has it. Otherwise a face with its
// proportions (MS Sans Serif is metrically close to Arial), at the desktop's
// size, so that every text fits the room the template gives it; failing
// that, the platform's dialog font.
QFont DialogFont(const res::DialogTemplate &dialogTemplate)
{
    const QFont platform = QApplication::font("QDialog");
    // Asking for each face by name resolves only that one, where listing the
    // installed families would read them all.
    const auto available = [](const QFont &font) {
        return QFontInfo(font).family().compare(font.family(), Qt::CaseInsensitive) == 0;
    };
    QFont font(QString::fromLatin1(dialogTemplate.fontName));
    font.setPointSize(dialogTemplate.pointSize);
    if (available(font))
        return font;
    for (const char *standIn : {"Microsoft Sans Serif", "Liberation Sans", "Arimo", "Arial", "Helvetica"}) {
        font = QFont(QString::fromLatin1(standIn));
        font.setPointSizeF(platform.pointSizeF());
        if (available(font))
            return font;
    }
    return platform;
}
