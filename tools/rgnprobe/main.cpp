// rgnprobe: answers region requests, one a line, the way the reference answers are written.
//
//   E l t r b            CreateEllipticRgn(l, t, r, b)
//   R l t r b w h        CreateRoundRectRgn(l, t, r, b, w, h)
//   P mode n x0 y0 ...   CreatePolygonRgn(points, n, mode)
//
// Anything after a '|' is ignored, so a file of reference cases can be fed as it is. Each answer
// is "N l t r b ..." (N rectangles, right and bottom excluded, y-x banded, sorted by top then left,
// equal neighbouring bands merged), "0" for an empty region or "NULL" for a failed call. A line
// that cannot be read is answered with "ERROR" and explained on stderr; blank lines are skipped.
#include "platform/Regions.h"

#include <QRect>
#include <QRegion>
#include <cstdint>
#include <iostream>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Band {
    int top;
    int bottom;
    std::vector<std::pair<int, int>> runs; // [left, right)
};

// The region's bands, with equal neighbouring bands joined.
std::vector<Band> bandsOf(const QRegion &region) {
    std::vector<Band> bands;
    for (const QRect &r : region) {
        const int top = r.top(), bottom = r.bottom() + 1;
        if (bands.empty() || bands.back().top != top || bands.back().bottom != bottom)
            bands.push_back({top, bottom, {}});
        bands.back().runs.emplace_back(r.left(), r.right() + 1);
    }
    std::vector<Band> merged;
    for (Band &band : bands) {
        if (!merged.empty() && merged.back().bottom == band.top && merged.back().runs == band.runs)
            merged.back().bottom = band.bottom;
        else
            merged.push_back(std::move(band));
    }
    return merged;
}

std::string answerOf(const std::optional<QRegion> &region) {
    if (!region)
        return "NULL";
    const std::vector<Band> bands = bandsOf(*region);
    size_t count = 0;
    for (const Band &band : bands)
        count += band.runs.size();
    if (count == 0)
        return "0";
    std::ostringstream out;
    out << count;
    for (const Band &band : bands) {
        for (const auto &[left, right] : band.runs)
            out << ' ' << left << ' ' << band.top << ' ' << right << ' ' << band.bottom;
    }
    return out.str();
}

bool readInt32(std::istringstream &in, int32_t &value) {
    long long v = 0;
    if (!(in >> v) || v < std::numeric_limits<int32_t>::min() ||
        v > std::numeric_limits<int32_t>::max())
        return false;
    value = int32_t(v);
    return true;
}

// The answer to one request, or nullopt with `error` set when the line cannot be read.
std::optional<std::string> answer(const std::string &request, std::string &error) {
    std::istringstream in(request);
    std::string kind;
    in >> kind;
    if (kind == "E" || kind == "R") {
        const int wanted = kind == "E" ? 4 : 6;
        int32_t v[6] = {};
        for (int i = 0; i < wanted; ++i) {
            if (!readInt32(in, v[i])) {
                error = "expected " + std::to_string(wanted) + " 32-bit numbers after " + kind;
                return std::nullopt;
            }
        }
        if (kind == "E")
            return answerOf(platform::CreateEllipticRgn(v[0], v[1], v[2], v[3]));
        return answerOf(platform::CreateRoundRectRgn(v[0], v[1], v[2], v[3], v[4], v[5]));
    }
    if (kind == "P") {
        int32_t mode = 0, count = 0;
        if (!readInt32(in, mode) || !readInt32(in, count)) {
            error = "expected the fill mode and the number of points after P";
            return std::nullopt;
        }
        std::vector<Coordinates> points;
        Coordinates p;
        while (readInt32(in, p.X)) {
            if (!readInt32(in, p.Y)) {
                error = "odd number of coordinates";
                return std::nullopt;
            }
            points.push_back(p);
        }
        // A count beyond the points given is passed on only where the call refuses it unread.
        if (count > 0 && size_t(count) > points.size() && count <= platform::kMaxPolygonPoints) {
            error = "fewer points than the count says";
            return std::nullopt;
        }
        return answerOf(platform::CreatePolygonRgn(points.data(), count, mode));
    }
    error = "unknown request '" + kind + "'";
    return std::nullopt;
}

} // namespace

int main() {
    std::ios::sync_with_stdio(false);
    std::string line;
    int status = 0;
    long lineNumber = 0;
    while (std::getline(std::cin, line)) {
        ++lineNumber;
        const std::string request = line.substr(0, line.find('|'));
        if (request.find_first_not_of(" \t\r") == std::string::npos)
            continue;
        std::string error;
        if (const auto reply = answer(request, error)) {
            std::cout << *reply << '\n';
        } else {
            std::cout << "ERROR\n";
            std::cerr << "rgnprobe: line " << lineNumber << ": " << error << '\n';
            status = 2;
        }
    }
    return status;
}
