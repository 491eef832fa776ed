#pragma once

#include <QDialog>

class QPushButton;
class QTextEdit;
class QTimer;

// The about window: credits that scroll up one pixel every 50 ms, endlessly, over a tiled
// leather texture. Opened modally with ShowModalWindow<CreditsDialog>().
class CreditsDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit CreditsDialog(QWidget* parent = nullptr);
    ~CreditsDialog() override;

    static constexpr int kTickMs = 50;

    QTextEdit* richEdit() const { return richEdit_; }
    QPushButton* backButton() const { return backButton_; }
    QTimer* timer() const { return timer_; }

    // One timer tick: one pixel further, or, once the end is shown, back to where the title
    // rises into view from below.
    void scrollCredits();
    // Where the view opens: the title already in its upper part, not a screen of blank lines.
    int openingPosition() const;
    // Where each new round starts: the title just below the lower edge.
    int restartPosition() const;

    // The text as laid out, one entry a paragraph, and each paragraph's style (0 plain, 1 title).
    QStringList CreditLines() const;
    QList<int> creditStyles() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildText();
    int titleTop() const;

    QTextEdit* richEdit_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QTimer* timer_ = nullptr;
    bool opened_ = false;
};
