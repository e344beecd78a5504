#include "panes/picture_menu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>
#include <utility>

namespace orvanta {

namespace {

constexpr int NOTE_SHOWN_MS = 10000;

// Held by the window it names the pictures of, found among its children.
class PictureNamer : public QObject {
  public:
    PictureNamer(QWidget& window, PictureName name) : QObject(&window), name_(std::move(name)) {}
    QString name(const QWidget& picture) const { return name_(picture); }

  private:
    PictureName name_;
};

const PictureNamer* namerOf(const QWidget& picture) {
    for (const QWidget* w = &picture; w != nullptr; w = w->parentWidget()) {
        for (const QObject* child : w->children()) {
            if (const auto* namer = dynamic_cast<const PictureNamer*>(child)) {
                return namer;
            }
        }
    }
    return nullptr;
}

QLabel* noteOf(QWidget& picture) {
    return picture.findChild<QLabel*>(QStringLiteral("pictureNote"), Qt::FindDirectChildrenOnly);
}

// One line along the picture's foot, gone after a while.
void tell(QWidget& picture, const QString& line) {
    QLabel* note = noteOf(picture);
    if (note == nullptr) {
        note = new QLabel(&picture);
        note->setObjectName(QStringLiteral("pictureNote"));
        note->setTextFormat(Qt::PlainText); // it names a file, which may be any text
        note->setAutoFillBackground(true);
        note->setMargin(3);
        auto* hide = new QTimer(note);
        hide->setSingleShot(true);
        hide->setInterval(NOTE_SHOWN_MS);
        QObject::connect(hide, &QTimer::timeout, note, &QWidget::hide);
    }
    // A long path gives way in its middle: the whole line is the note's tip.
    note->setText(note->fontMetrics().elidedText(line, Qt::ElideMiddle,
                                                 picture.width() - 2 * note->margin()));
    note->setToolTip(line);
    note->adjustSize();
    note->setGeometry(0, std::max(picture.height() - note->height(), 0), picture.width(),
                      note->height());
    note->show();
    note->raise();
    note->findChild<QTimer*>()->start();
}

// The folder the last picture went to, else the user's pictures, else home.
QString& saveFolder() {
    static QString folder = [] {
        const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
        return !pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures : QDir::homePath();
    }();
    return folder;
}

void askWhereToSave(QWidget& picture) {
    // The name is taken now, for what is shown when the user asked.
    const QString name = pictureFileName(picture);
    const QPointer<QWidget> asked(&picture);
    const QString path = QFileDialog::getSaveFileName(&picture, QStringLiteral("Save picture"),
                                                      QDir(saveFolder()).filePath(name),
                                                      QStringLiteral("PNG pictures (*.png)"));
    if (path.isEmpty() || asked.isNull()) { // the picture may have gone while the user chose
        return;
    }
    if (const QString why = savePicture(picture, path); !why.isEmpty()) {
        tell(picture, why);
        return;
    }
    saveFolder() = QFileInfo(path).absolutePath();
}

} // namespace

void namePictures(QWidget& window, PictureName name) {
    delete const_cast<PictureNamer*>(namerOf(window)); // one name a window
    new PictureNamer(window, std::move(name));
}

QString pictureFileName(const QString& name) {
    QString safe;
    for (const QChar c : name) {
        // A control character would break a line wherever the name is shown, a separator would
        // send the file to another folder.
        const bool bad =
            c == QLatin1Char('/') || c == QLatin1Char('\\') ||
            c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
            c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph;
        safe += bad ? QLatin1Char(' ') : c;
    }
    safe = safe.simplified();
    while (safe.startsWith(QLatin1Char('.'))) {
        safe.remove(0, 1);
    }
    safe = safe.trimmed().left(200);
    return (safe.isEmpty() ? QStringLiteral("Orvanta") : safe) + QStringLiteral(".png");
}

QString pictureFileName(const QWidget& picture) {
    const PictureNamer* namer = namerOf(picture);
    return pictureFileName(namer != nullptr ? namer->name(picture)
                                            : QStringLiteral("Orvanta ") +
                                                  QDate::currentDate().toString(Qt::ISODate));
}

QImage pictureOf(QWidget& picture) {
    // A note of ours lies over the picture, not in it.
    QLabel* note = noteOf(picture);
    const bool noted = note != nullptr && note->isVisible();
    if (noted) {
        note->hide();
    }
    QImage image = picture.grab().toImage();
    if (noted) {
        note->show();
    }
    return image;
}

void copyPicture(QWidget& picture) {
    QGuiApplication::clipboard()->setImage(pictureOf(picture));
}

QString savePicture(QWidget& picture, const QString& path) {
    const QImage image = pictureOf(picture);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit()) {
        return {};
    }
    file.cancelWriting();
    const QString why = file.error() != QFileDevice::NoError ? file.errorString()
                                                             : QStringLiteral("cannot be written");
    return QStringLiteral("Not saved: %1: %2.").arg(QDir::toNativeSeparators(path), why);
}

void givePictureKeys(QWidget& picture, QWidget* scope) {
    QWidget& owner = scope != nullptr ? *scope : picture;
    auto* save = new QAction(&owner);
    save->setShortcuts(QKeySequence::Save);
    QObject::connect(save, &QAction::triggered, &picture, [&picture] { askWhereToSave(picture); });
    auto* copy = new QAction(&owner);
    copy->setShortcuts(QKeySequence::Copy);
    QObject::connect(copy, &QAction::triggered, &picture, [&picture] { copyPicture(picture); });
    for (QAction* key : {save, copy}) {
        key->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        owner.addAction(key);
    }
}

void addPictureActions(QMenu& menu, QWidget& picture) {
    QAction* save = menu.addAction(QStringLiteral("&Save picture…"), &picture,
                                   [&picture] { askWhereToSave(picture); });
    save->setShortcut(QKeySequence::Save);
    QAction* copy = menu.addAction(QStringLiteral("&Copy picture"), &picture,
                                   [&picture] { copyPicture(picture); });
    copy->setShortcut(QKeySequence::Copy);
}

QMenu* showPictureMenu(QWidget& picture, const QContextMenuEvent& e,
                       const std::function<void(QMenu&)>& first) {
    auto* menu = new QMenu(&picture);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (first) {
        first(*menu);
        if (!menu->isEmpty()) {
            menu->addSeparator();
        }
    }
    addPictureActions(*menu, picture);
    menu->popup(e.globalPos());
    return menu;
}

} // namespace orvanta
