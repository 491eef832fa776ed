#pragma once

#include <QFileDialog>

class QLabel;

// Makes a non-native file dialog's paths, file names, sizes and dates read left to right inside
// its right-to-left frame.
void ReadPathsLeftToRight(QFileDialog& dialog);

// The open-picture dialog: Qt's own (non-native) file dialog, so that it speaks the program's
// language, with a preview of the selected picture beside the file list. Paths and file names
// read left to right inside the right-to-left dialog.
class PictureFileDialog final : public QFileDialog
{
    Q_OBJECT
public:
    PictureFileDialog(QWidget* parent, const QString& filter);

    // The preview of the selected file (a null pixmap when it is no picture).
    QLabel* preview() const { return preview_; }
    // Shows a scaled picture of path; regular files of a bounded size only, so a device, a
    // pipe or a huge file never blocks or fills memory.
    void showPreview(const QString& path);

private:
    QLabel* preview_ = nullptr;
};
