#include "settings/BusyWindow.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QTimer>
#include <cmath>

// A magnifying glass sweeping over a folder, drawn frame by frame.
class TMessageWindow::TSearchAnimation : public QWidget {
public:
    explicit TSearchAnimation(QWidget *parent) : QWidget(parent), timer(new QTimer(this))
    {
        setFixedSize(48, 40);
        timer->setInterval(80);
        connect(timer, &QTimer::timeout, this, [this] {
            frame = (frame + 1) % FrameCount;
            update();
        });
    }

    void Start() { timer->start(); }
    void Stop() { timer->stop(); }
    bool IsRunning() const { return timer->isActive(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QColor(150, 110, 20));
        painter.setBrush(QColor(240, 200, 90));
        painter.drawRect(6, 14, 34, 22);
        painter.drawRect(6, 10, 14, 4);

        const double phase = double(frame) / FrameCount * 2 * 3.14159265;
        const QPointF centre(23 + 12 * std::cos(phase), 22 + 6 * std::sin(phase));
        painter.setPen(QPen(QColor(60, 60, 60), 2));
        painter.setBrush(QColor(200, 230, 255, 170));
        painter.drawEllipse(centre, 7, 7);
        painter.drawLine(centre + QPointF(5, 5), centre + QPointF(11, 11));
    }

private:
    static constexpr int FrameCount = 16;
    QTimer *timer;
    int frame = 0;
};

TMessageWindow::TMessageWindow(QWidget *parent)
    : QDialog(parent), animation(new TSearchAnimation(this)), label(new QLabel(this))
{
    setObjectName(QStringLiteral("MessageWindow"));
    setWindowTitle(QStringLiteral("処理中・・・"));
    label->setMinimumWidth(240);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(animation);
    layout->addWidget(label, 1);
}

void TMessageWindow::SetMessage(const QString &text)
{
    label->setText(text);
    if (isVisible())
        label->repaint();
}

QString TMessageWindow::Message() const
{
    return label->text();
}

bool TMessageWindow::IsAnimating() const
{
    return animation->IsRunning();
}

void TMessageWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        animation->Start();
    QDialog::changeEvent(event);
}

void TMessageWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    animation->Start();
}

void TMessageWindow::hideEvent(QHideEvent *event)
{
    animation->Stop();
    QDialog::hideEvent(event);
}
