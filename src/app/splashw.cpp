#include "app/splashw.h"

#include "app/version.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

int loadingLineDelay = 100;
int closeDelay = 2000;

QPixmap banner()
{
    QPixmap pixmap(460, 150);
    QPainter painter(&pixmap);
    QLinearGradient gradient(0, 0, pixmap.width(), pixmap.height());
    gradient.setColorAt(0, QColor(0x1f, 0x3a, 0x68));
    gradient.setColorAt(1, QColor(0x3d, 0x6f, 0xb6));
    painter.fillRect(pixmap.rect(), gradient);
    painter.setPen(Qt::white);
    QFont title = painter.font();
    title.setPointSize(30);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(pixmap.rect().adjusted(0, 18, 0, -50), Qt::AlignCenter, QStringLiteral("Sigillo"));
    QFont subtitle = painter.font();
    subtitle.setPointSize(12);
    subtitle.setBold(false);
    painter.setFont(subtitle);
    painter.drawText(pixmap.rect().adjusted(0, 80, 0, -10), Qt::AlignCenter, QStringLiteral("Misuratori Fiscali"));
    return pixmap;
}

} // namespace

TSplashForm::TSplashForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashForm"));
    setStyleSheet(QStringLiteral("#SplashForm { border: 1px solid #1f3a68; background: white; }"));

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(banner());

    auto *version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("VersionLabel"));
    version->setAlignment(Qt::AlignCenter);

    m_loading = new QLabel(this);
    m_loading->setObjectName(QStringLiteral("LoadingLabel"));
    m_loading->setAlignment(Qt::AlignCenter);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 12);
    layout->addWidget(picture);
    layout->addWidget(version);
    layout->addWidget(m_loading);
}

void TSplashForm::setTimings(int loadingLineMs, int closeMs)
{
    loadingLineDelay = loadingLineMs;
    closeDelay = closeMs;
}

void TSplashForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_started)
        return;
    m_started = true;
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    QTimer::singleShot(loadingLineDelay, this, [this] {
        m_loading->setText(QStringLiteral("Caricamento in corso di Misuratori Fiscali....... attendere........."));
    });
    QTimer::singleShot(closeDelay, this, &QDialog::accept);
}
