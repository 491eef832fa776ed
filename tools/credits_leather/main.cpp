// Draws a dark brown, pebbled leather texture of 100 x 100 pixels that tiles without seams:
// every pattern below wraps around the tile's edges.
#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr int kSize = 100;

struct Point
{
    double x = 0;
    double y = 0;
};

// Shortest distance on the torus, so cells near one edge continue across it.
double wrappedDistance(Point a, Point b)
{
    double dx = std::abs(a.x - b.x);
    double dy = std::abs(a.y - b.y);
    dx = std::min(dx, kSize - dx);
    dy = std::min(dy, kSize - dy);
    return std::sqrt(dx * dx + dy * dy);
}

// Periodic value noise with `cells` lattice cells across the tile.
class PeriodicNoise
{
public:
    PeriodicNoise(int cells, std::mt19937& rng) : cells_(cells), values_(cells * cells)
    {
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        for (double& v : values_)
            v = unit(rng);
    }
    double at(double x, double y) const
    {
        const double fx = x * cells_ / kSize;
        const double fy = y * cells_ / kSize;
        const int x0 = int(std::floor(fx));
        const int y0 = int(std::floor(fy));
        const double tx = smooth(fx - x0);
        const double ty = smooth(fy - y0);
        const double a = lattice(x0, y0), b = lattice(x0 + 1, y0);
        const double c = lattice(x0, y0 + 1), d = lattice(x0 + 1, y0 + 1);
        return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
    }

private:
    static double smooth(double t) { return t * t * (3 - 2 * t); }
    double lattice(int x, int y) const
    {
        x = ((x % cells_) + cells_) % cells_;
        y = ((y % cells_) + cells_) % cells_;
        return values_[std::size_t(y * cells_ + x)];
    }
    int cells_;
    std::vector<double> values_;
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: credits_leather <output.png>\n";
        return 2;
    }

    std::mt19937 rng(20260412); // fixed, so the committed picture can be drawn again
    std::uniform_real_distribution<double> unit(0.0, 1.0);

    // Pebbles: jittered grid of cell centres, about 9 px apart.
    constexpr int kGrid = 11;
    std::vector<Point> centres;
    for (int gy = 0; gy < kGrid; ++gy)
        for (int gx = 0; gx < kGrid; ++gx)
            centres.push_back({(gx + 0.15 + 0.7 * unit(rng)) * kSize / kGrid,
                               (gy + 0.15 + 0.7 * unit(rng)) * kSize / kGrid});

    const PeriodicNoise broad(4, rng);
    const PeriodicNoise medium(10, rng);
    const PeriodicNoise fine(50, rng);

    // Height field: high in the middle of a pebble, low in the creases between pebbles.
    std::array<std::array<double, kSize>, kSize> height{};
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const Point p{x + 0.5, y + 0.5};
            double f1 = 1e9, f2 = 1e9;
            for (const Point& c : centres) {
                const double d = wrappedDistance(p, c);
                if (d < f1) {
                    f2 = f1;
                    f1 = d;
                } else if (d < f2) {
                    f2 = d;
                }
            }
            const double crease = std::clamp((f2 - f1) / 3.0, 0.0, 1.0); // 0 on a crease
            height[y][x] = std::sqrt(crease) * (0.8 + 0.2 * medium.at(x, y));
        }
    }

    QImage image(kSize, kSize, QImage::Format_RGB32);
    const QColor base(74, 42, 24);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            // Light from the upper left: the slope of the height field shades each pebble.
            const double dx = height[y][(x + 1) % kSize] - height[y][(x + kSize - 1) % kSize];
            const double dy = height[(y + 1) % kSize][x] - height[(y + kSize - 1) % kSize][x];
            const double light = -(dx + dy) * 0.35;
            const double tone = 0.72 + 0.22 * height[y][x] + 0.16 * (broad.at(x, y) - 0.5) +
                                0.08 * (fine.at(x, y) - 0.5) + light;
            auto channel = [&](int v) { return std::clamp(int(std::lround(v * tone)), 0, 255); };
            image.setPixel(x, y,
                           qRgb(channel(base.red()), channel(base.green()), channel(base.blue())));
        }
    }
    if (!image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        QTextStream(stderr) << "cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
