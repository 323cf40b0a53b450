#include "app/program_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <array>

namespace velmar {

namespace {

constexpr std::array<int, 4> kSizes{16, 32, 48, 64};

class ProgramIconEngine : public QIconEngine {
public:
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        const int side = sideFor(size);
        return QSize(side, side).boundedTo(size);
    }

    // The same picture in every mode and state: a window's icon is never shown disabled.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        if (size.isEmpty())
            return {};
        const QSize actual = actualSize(size, mode, state);
        const QPixmap picture = sized(sideFor(size));
        return picture.isNull() || picture.size() == actual
                   ? picture
                   : picture.scaled(actual, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const QSize size = rect.size() * painter->device()->devicePixelRatio();
        painter->drawPixmap(rect, pixmap(size, mode, state));
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> sizes;
        for (int side : kSizes)
            sizes << QSize(side, side);
        return sizes;
    }

    QIconEngine* clone() const override { return new ProgramIconEngine(*this); }
    QString key() const override { return QStringLiteral("velmar-program"); }

private:
    // The smallest stored size that covers `size`, else the largest.
    static int sideFor(QSize size)
    {
        for (int side : kSizes)
            if (side >= size.width() && side >= size.height())
                return side;
        return kSizes.back();
    }

    QPixmap sized(int side)
    {
        const std::size_t at = std::size_t(std::find(kSizes.begin(), kSizes.end(), side) - kSizes.begin());
        if (m_read[at].isNull())
            m_read[at] = QPixmap(QStringLiteral(":/icons/velmar-%1.png").arg(side));
        return m_read[at];
    }

    std::array<QPixmap, kSizes.size()> m_read;
};

}  // namespace

QIcon programIcon() { return QIcon(new ProgramIconEngine); }

}  // namespace velmar
