#include "PictureBox.h"

#include <QLabel>
#include <QPixmap>

void ShowPicture(QLabel *box, const std::string &bytes)
{
    QPixmap picture;
    if (!bytes.empty() &&
        picture.loadFromData(reinterpret_cast<const uchar *>(bytes.data()), static_cast<uint>(bytes.size())))
        box->setPixmap(picture);
    else
        box->clear();
}
