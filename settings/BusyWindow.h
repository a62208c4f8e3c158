#pragma once
// TMessageWindow ("処理中・・・"): a small window with a progress text and a searching animation,
// shown by the main window's services during long operations. The animation runs while the
// window is active.

#include <QDialog>

class QLabel;
class QTimer;

class TMessageWindow : public QDialog {
    Q_OBJECT
public:
    explicit TMessageWindow(QWidget *parent = nullptr);

    // Shows the text and paints it at once (the long operation does not return to the event loop).
    void SetMessage(const QString &text);
    QString Message() const;
    bool IsAnimating() const;

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    class TSearchAnimation;
    TSearchAnimation *animation;
    QLabel *label;
};
