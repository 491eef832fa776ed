#pragma once

// A small scanned cheque, encoded on the spot, for the suites that store a layout's picture.
#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

inline QByteArray chequeJpeg()
{
    QImage image(1300, 640, QImage::Format_RGB32);
    image.fill(QColor(222, 236, 228));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 80);
    return bytes;
}
