#include "font/svg_path.h"

#include "outline/glyph.h"
#include "outline/shape.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* const SVG_CLIP_TYPE = "image/svg+xml";

namespace {

// Text beyond this is refused before it is looked at.
const size_t MAX_TEXT = 8u << 20;
// A cubic is split at most this many times over (1,024 pieces).
const int MAX_SPLITS = 10;
const char* const TOO_MANY_POINTS = "A contour of the SVG path has more than 1024 points.";

struct vec {
    double x, y;
    vec operator+(vec o) const { return {x + o.x, y + o.y}; }
    vec operator-(vec o) const { return {x - o.x, y - o.y}; }
    vec operator*(double k) const { return {x * k, y * k}; }
};

std::string number(double v) {
    char text[32];
    snprintf(text, sizeof text, "%.10g", v);
    return text;
}

// ---- Writing ----

std::string path_of_contour(const std::vector<glyph_clip::point>& c, unsigned upem) {
    const size_t n = c.size();
    if (n == 0)
        return "";
    auto at = [&](size_t i) { return vec{(double)c[i % n].x, (double)c[i % n].y}; };
    auto put = [&](vec p) { return number(p.x) + " " + number((double)upem - p.y); };
    size_t start = 0;
    while (start < n && !c[start].on)
        start++;
    vec first;
    size_t from;
    if (start == n) {
        // Every point off the curve: the contour starts between the first
        // two, where the curve passes.
        first = (at(0) + at(1)) * 0.5;
        from = 1;
    } else {
        first = at(start);
        from = start + 1;
    }
    std::string d = "M" + put(first);
    bool pending = false;
    vec control{0, 0};
    for (size_t k = 0; k < n; k++) {
        size_t i = from + k;
        bool last = k + 1 == n && start != n;
        if (last)
            break;
        vec p = at(i);
        if (c[i % n].on) {
            d += pending ? "Q" + put(control) + " " + put(p) : "L" + put(p);
            pending = false;
        } else {
            if (pending)
                d += "Q" + put(control) + " " + put((control + p) * 0.5);
            control = p;
            pending = true;
        }
    }
    if (pending)
        d += "Q" + put(control) + " " + put(first);
    return d + "Z";
}

// ---- Reading ----

struct path_reader {
    const std::string& s;
    size_t at = 0;

    void blank() {
        while (at < s.size() && (isspace((unsigned char)s[at]) || s[at] == ','))
            at++;
    }
    bool done() {
        blank();
        return at >= s.size();
    }
    // A command letter, when one comes next.
    char command() {
        blank();
        if (at < s.size() && isalpha((unsigned char)s[at]) && s[at] != 'e' && s[at] != 'E')
            return s[at++];
        return 0;
    }
    bool number_next() {
        blank();
        return at < s.size() &&
               (isdigit((unsigned char)s[at]) || s[at] == '-' || s[at] == '+' || s[at] == '.');
    }
    bool read(double* v) {
        if (!number_next())
            return false;
        // The SVG number grammar: sign, digits, fraction, exponent.
        size_t b = at;
        if (s[at] == '-' || s[at] == '+')
            at++;
        size_t digits = 0;
        while (at < s.size() && isdigit((unsigned char)s[at]))
            at++, digits++;
        if (at < s.size() && s[at] == '.') {
            at++;
            while (at < s.size() && isdigit((unsigned char)s[at]))
                at++, digits++;
        }
        if (digits == 0)
            return false;
        if (at < s.size() && (s[at] == 'e' || s[at] == 'E')) {
            size_t e = at + 1;
            if (e < s.size() && (s[e] == '-' || s[e] == '+'))
                e++;
            if (e < s.size() && isdigit((unsigned char)s[e])) {
                at = e;
                while (at < s.size() && isdigit((unsigned char)s[at]))
                    at++;
            }
        }
        *v = strtod(s.substr(b, at - b).c_str(), nullptr);
        return std::isfinite(*v);
    }
};

struct builder {
    // Maps SVG user units onto font units.
    double minx, maxy, scale;
    double tolerance;
    struct pt {
        vec p;
        bool on;
    };
    std::vector<std::vector<pt>> contours;
    std::vector<pt> current;
    std::string why;

    vec font(vec v) const { return {(v.x - minx) * scale, (maxy - v.y) * scale}; }

    bool add(vec p, bool on) {
        // The on-curve points halfway between two controls are dropped
        // later, which may halve a contour (and the path repeats its first
        // point at its end): it is refused beyond twice the glyph's bound
        // here, and beyond the bound once they are gone.
        if (current.size() > 2 * (size_t)shape::max_points) {
            why = TOO_MANY_POINTS;
            return false;
        }
        current.push_back({p, on});
        return true;
    }
    bool close() {
        if (current.size() > 1 && current.back().on) {
            vec a = current.back().p, b = current.front().p;
            if (std::fabs(a.x - b.x) < 1e-9 && std::fabs(a.y - b.y) < 1e-9)
                current.pop_back();
        }
        if (current.size() >= 2) {
            if (contours.size() >= (size_t)glyph::max_contours) {
                why = "The SVG path has more than 512 contours.";
                return false;
            }
            contours.push_back(std::move(current));
        }
        current.clear();
        return true;
    }
    // A cubic from the current point, in font units, as quadratic pieces.
    bool cubic(vec p0, vec p1, vec p2, vec p3, int depth = 0) {
        vec third = p3 - p2 * 3 + p1 * 3 - p0;
        double error = std::sqrt(3.0) / 36 * std::hypot(third.x, third.y);
        if (error <= tolerance || depth >= MAX_SPLITS) {
            vec q = ((p1 + p2) * 3 - p0 - p3) * 0.25;
            return add(q, false) && add(p3, true);
        }
        vec a = (p0 + p1) * 0.5, b = (p1 + p2) * 0.5, c = (p2 + p3) * 0.5;
        vec d = (a + b) * 0.5, e = (b + c) * 0.5, m = (d + e) * 0.5;
        return cubic(p0, a, d, m, depth + 1) && cubic(m, e, c, p3, depth + 1);
    }
};

bool read_path(const std::string& d, builder* b) {
    path_reader r{d};
    vec cur{0, 0}, start{0, 0}, lastq{0, 0}, lastc{0, 0};
    char prev = 0, cmd = 0;
    bool moved = false;
    auto bad = [&](const char* text) {
        b->why = text;
        return false;
    };
    while (!r.done()) {
        char c = r.command();
        if (!moved && c != 'M' && c != 'm')
            return bad("The SVG path does not start with a move (M).");
        if (c)
            cmd = c;
        else if (!cmd)
            return bad("The SVG path has numbers without a command.");
        else if (cmd == 'M')
            cmd = 'L'; // pairs after a move are lines
        else if (cmd == 'm')
            cmd = 'l';
        const bool rel = islower((unsigned char)cmd);
        const char C = (char)toupper((unsigned char)cmd);
        auto point = [&](vec* v) {
            if (!r.read(&v->x) || !r.read(&v->y))
                return false;
            if (rel)
                *v = *v + cur;
            return true;
        };
        vec p1, p2, p3;
        double v;
        switch (C) {
        case 'M':
            if (!point(&p1))
                return bad("The SVG path has a move without its point.");
            if (!b->close())
                return false;
            cur = start = p1;
            moved = true;
            if (!b->add(b->font(cur), true))
                return false;
            break;
        case 'L':
        case 'H':
        case 'V':
            if (C == 'L' ? !point(&p1) : !r.read(&v))
                return bad("The SVG path has a line without its point.");
            if (C == 'H')
                p1 = {rel ? cur.x + v : v, cur.y};
            else if (C == 'V')
                p1 = {cur.x, rel ? cur.y + v : v};
            if (b->current.empty() && !b->add(b->font(cur), true))
                return false;
            cur = p1;
            if (!b->add(b->font(cur), true))
                return false;
            break;
        case 'Q':
        case 'T':
            if (C == 'Q' ? !point(&p1) || !point(&p2) : !point(&p2))
                return bad("The SVG path has a curve without all of its points.");
            if (C == 'T')
                p1 = (prev == 'Q' || prev == 'T') ? cur * 2 - lastq : cur;
            if (b->current.empty() && !b->add(b->font(cur), true))
                return false;
            if (!b->add(b->font(p1), false) || !b->add(b->font(p2), true))
                return false;
            lastq = p1;
            cur = p2;
            break;
        case 'C':
        case 'S':
            if (C == 'C' ? !point(&p1) || !point(&p2) || !point(&p3) : !point(&p2) || !point(&p3))
                return bad("The SVG path has a curve without all of its points.");
            if (C == 'S')
                p1 = (prev == 'C' || prev == 'S') ? cur * 2 - lastc : cur;
            if (b->current.empty() && !b->add(b->font(cur), true))
                return false;
            if (!b->cubic(b->font(cur), b->font(p1), b->font(p2), b->font(p3)))
                return false;
            lastc = p2;
            cur = p3;
            break;
        case 'Z':
            if (!b->close())
                return false;
            cur = start;
            cmd = 0;
            break;
        case 'A':
            return bad("The SVG path has arcs, which a glyph cannot hold: draw them as curves.");
        default:
            return bad("The SVG path has a command it cannot have.");
        }
        prev = C;
        if (C == 'Z')
            prev = 0;
    }
    return b->close();
}

// The value of attribute `name` of the tag that spans [tag, end), end at
// its '>'. Only that span is searched, so that a document of many tags is
// read in one pass.
bool attribute(const std::string& s, size_t tag, size_t end, const char* name, std::string* out) {
    const size_t n = strlen(name);
    for (size_t at = tag + 1; at + n <= end; at++) {
        // A whole attribute name: after a blank, followed by '='.
        if (s.compare(at, n, name) != 0 || !isspace((unsigned char)s[at - 1]))
            continue;
        size_t eq = at + n;
        while (eq < end && isspace((unsigned char)s[eq]))
            eq++;
        if (eq >= end || s[eq] != '=')
            continue;
        size_t q = eq + 1;
        while (q < end && isspace((unsigned char)s[q]))
            q++;
        if (q >= end || (s[q] != '"' && s[q] != '\''))
            return false;
        size_t close = s.find(s[q], q + 1);
        if (close == std::string::npos || close > end)
            return false;
        *out = s.substr(q + 1, close - q - 1);
        return true;
    }
    return false;
}

} // namespace

std::string svg_of_glyph(const glyph_clip& g, unsigned units_per_em) {
    std::string d;
    for (const auto& c : g.contours)
        d += path_of_contour(c, units_per_em);
    std::string em = std::to_string(units_per_em);
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + em + " " + em +
           "\" width=\"" + em + "\" height=\"" + em + "\"><path d=\"" + d + "\"/></svg>\n";
}

bool parse_svg_path(const std::string& text, unsigned units_per_em, glyph_clip* out,
                    std::string* why, double tolerance) {
    if (text.size() > MAX_TEXT) {
        *why = "The SVG on the clipboard is too large to paste.";
        return false;
    }
    builder b;
    b.tolerance = tolerance;
    b.minx = 0;
    b.maxy = units_per_em;
    b.scale = 1;
    std::vector<std::string> paths;
    size_t svg = text.find("<svg");
    if (text.find('<') != std::string::npos) {
        if (svg == std::string::npos) {
            *why = "The clipboard holds no SVG path.";
            return false;
        }
        const size_t svg_end = text.find('>', svg);
        if (svg_end == std::string::npos) {
            *why = "The SVG on the clipboard is damaged.";
            return false;
        }
        std::string box;
        if (attribute(text, svg, svg_end, "viewBox", &box)) {
            path_reader r{box};
            double x, y, w, h;
            if (!r.read(&x) || !r.read(&y) || !r.read(&w) || !r.read(&h) || !(w > 0) || !(h > 0)) {
                *why = "The SVG on the clipboard has a damaged viewBox.";
                return false;
            }
            b.minx = x;
            b.maxy = y + h;
            b.scale = units_per_em / h;
        }
        for (size_t at = text.find("<path", svg_end); at != std::string::npos;) {
            const size_t end = text.find('>', at);
            if (end == std::string::npos) {
                *why = "The SVG on the clipboard is damaged.";
                return false;
            }
            std::string d;
            if (attribute(text, at, end, "d", &d))
                paths.push_back(d);
            at = text.find("<path", end);
        }
        if (paths.empty()) {
            *why = "The SVG on the clipboard has no path.";
            return false;
        }
    } else {
        paths.push_back(text);
    }
    for (const std::string& d : paths) {
        if (!read_path(d, &b)) {
            *why = b.why;
            return false;
        }
    }
    glyph_clip g;
    for (const auto& c : b.contours) {
        std::vector<glyph_clip::point> points;
        const size_t n = c.size();
        for (size_t i = 0; i < n; i++) {
            const builder::pt& p = c[i];
            // An on-curve point halfway between two controls is implied
            // in a glyph, as it was when the path was written.
            const builder::pt& before = c[(i + n - 1) % n];
            const builder::pt& after = c[(i + 1) % n];
            if (p.on && !before.on && !after.on && n > 2) {
                vec mid = (before.p + after.p) * 0.5;
                if (std::fabs(mid.x - p.p.x) < 1e-9 && std::fabs(mid.y - p.p.y) < 1e-9)
                    continue;
            }
            double x = std::round(p.p.x), y = std::round(p.p.y);
            if (!(x >= -32768 && x <= 32767 && y >= -32768 && y <= 32767)) {
                *why = "The SVG path reaches beyond the coordinates a glyph can hold.";
                return false;
            }
            points.push_back({(int16_t)x, (int16_t)y, p.on});
        }
        if (points.size() > (size_t)shape::max_points) {
            *why = TOO_MANY_POINTS;
            return false;
        }
        // A contour drawn within one unit is a dot a glyph cannot show.
        bool dot = std::all_of(points.begin(), points.end(), [&](const glyph_clip::point& q) {
            return q.x == points[0].x && q.y == points[0].y;
        });
        if (!dot)
            g.contours.push_back(std::move(points));
    }
    if (g.contours.empty()) {
        *why = "The SVG path draws no contour.";
        return false;
    }
    *out = std::move(g);
    return true;
}
