#pragma once

#include <QImage>
#include <QString>

namespace StagePhotos {

// The winner's portrait: <column1>.jpg or <column1>.png in folder, cropped to a card's photo
// slot and decoded no taller than the cards need. A null image for no file, a file that does
// not decode, or a name that would leave the folder.
QImage load(const QString &folder, const QString &column1);

} // namespace StagePhotos
