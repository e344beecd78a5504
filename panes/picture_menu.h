#pragma once

// Every picture offers itself to be kept from its right-click menu (or the Menu key): saved as a
// PNG or copied, the same drawing as on screen at the screen's pixel ratio.

#include <QImage>
#include <QString>
#include <functional>

class QContextMenuEvent;
class QMenu;
class QWidget;

namespace orvanta {

// What a window's pictures are called when one is saved, asked at that moment so that it names
// what is shown then: "Mars tonight, Berlin, 2027-02-20". The window's pictures are its
// descendants; a picture in no named window is called "Orvanta" and the day's date.
using PictureName = std::function<QString(const QWidget& picture)>;
void namePictures(QWidget& window, PictureName name);

// The name as a file name: no folder separator, no control character, not hidden, ".png".
QString pictureFileName(const QString& name);
// The file name proposed for `picture`.
QString pictureFileName(const QWidget& picture);

QImage pictureOf(QWidget& picture);
void copyPicture(QWidget& picture);
// Writes the picture at `path` whole or not at all (a file there stays as it was): empty, else
// the one line that says why not.
QString savePicture(QWidget& picture, const QString& path);

// The two also as the desktop's Save and Copy keys, while the focus is in `scope` (the picture
// itself by default, or a window whose only picture it is).
void givePictureKeys(QWidget& picture, QWidget* scope = nullptr);
// "Save picture…" and "Copy picture" for `picture`, their keys shown. A failed save is told in a
// line over the
// picture's foot for a while; the picture stays as it is.
void addPictureActions(QMenu& menu, QWidget& picture);
// The picture's menu where the event asks for it, `first` adding the picture's own actions
// above the two. It deletes itself when closed.
QMenu* showPictureMenu(QWidget& picture, const QContextMenuEvent& e,
                       const std::function<void(QMenu&)>& first = {});

} // namespace orvanta
