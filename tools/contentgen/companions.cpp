// The companion sheets (three round fighters told apart by colour and headgear) and companion 0's
// flight effect.
#include <cmath>
#include <stdexcept>
#include <string>

#include "tools/contentgen/figures.h"
#include "tools/contentgen/rig.h"

namespace contentgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

enum class Gear { Spike, Pot, Antenna };

struct Look {
    double groundX, groundY, squash, bodyH, bodyRx, bodyRy, bellyRx, bellyRy;
    double feetSpread, footRx, footRy, stride, lift, handR, handDrop;
    double eyeAngle, eyeSpread, eyeRx, eyeRy, eyeDrop, flightRise;
    int lineCount;
    double lineLength;
    Material body[3], feet[3], belly, helmet, pot, spark;
    Gear gear[3];
    Rgb eye, white, mark, dust, star, lines;
};

Look ReadLook(const Palette& pal, const Params& p) {
    Look L;
    auto g = p.Nums("ground", 2);
    L.groundX = g[0], L.groundY = g[1];
    L.squash = p.Num("squash");
    auto b = p.Nums("body", 3);
    L.bodyH = b[0], L.bodyRx = b[1], L.bodyRy = b[2];
    auto be = p.Nums("belly", 2);
    L.bellyRx = be[0], L.bellyRy = be[1];
    auto f = p.Nums("feet", 3);
    L.feetSpread = f[0], L.footRx = f[1], L.footRy = f[2];
    auto s = p.Nums("stride", 2);
    L.stride = s[0], L.lift = s[1];
    auto h = p.Nums("hands", 2);
    L.handR = h[0], L.handDrop = h[1];
    auto e = p.Nums("eyes", 5);
    L.eyeAngle = e[0], L.eyeSpread = e[1], L.eyeRx = e[2], L.eyeRy = e[3], L.eyeDrop = e[4];
    L.flightRise = p.Num("flight_rise");
    auto sl = p.Nums("speed_lines", 2);
    L.lineCount = static_cast<int>(sl[0]), L.lineLength = sl[1];
    for (int k = 0; k < 3; ++k) {
        std::string n = std::to_string(k);
        L.body[k] = pal.Mat(p.Word("body_" + n));
        L.feet[k] = pal.Mat(p.Word("feet_" + n));
        std::string gear = p.Word("gear_" + n);
        if (gear == "spike")
            L.gear[k] = Gear::Spike;
        else if (gear == "pot")
            L.gear[k] = Gear::Pot;
        else if (gear == "antenna")
            L.gear[k] = Gear::Antenna;
        else
            throw std::runtime_error(p.Path() + ": unknown headgear '" + gear + "'");
    }
    L.belly = pal.Mat(p.Word("mat_belly"));
    L.helmet = pal.Mat(p.Word("mat_helmet"));
    L.pot = pal.Mat(p.Word("mat_pot"));
    L.spark = pal.Mat(p.Word("mat_spark"));
    L.eye = pal.Colour(p.Word("colour_eye"));
    L.white = pal.Colour(p.Word("colour_white"));
    L.mark = pal.Colour(p.Word("colour_mark"));
    L.dust = pal.Colour(p.Word("colour_dust"));
    L.star = pal.Colour(p.Word("colour_star"));
    L.lines = pal.Colour(p.Word("colour_lines"));
    return L;
}

enum class Eyes { Open, Closed, Flat };

struct Pose {
    double bob = 0;      // body height change
    double squashX = 0;  // added to the body's radii
    double squashY = 0;
    double back = 0;  // the body leans back by this much (hurt)
    double footForward[2] = {0, 0}, footLift[2] = {0, 0};
    double handForward[2] = {1, 1}, handRaise[2] = {0, 0};
    Eyes eyes = Eyes::Open;
    bool flying = false;
    int flightFrame = 0;
    bool dust = false;
    int stars = 0;  // 0 none, 1 or 2: dizzy stars in one of two places
};

// Draws the headgear of companion k on a body centred at c; dir is the screen direction the top
// of the gear leans to (up when standing, the flight direction when flying).
void DrawGear(Canvas& cv, const Look& L, int k, Pt c, double rx, double ry, Pt up, const View& v,
              bool flying) {
    const double ux = up.x, uy = up.y;  // unit vector "up" of the head
    const double px = -uy, py = ux;     // across the head
    auto at = [&](double alongUp, double across) {
        return Pt{c.x + ux * alongUp + px * across, c.y + uy * alongUp + py * across};
    };
    switch (L.gear[k]) {
        case Gear::Spike: {
            // A round steel cap with a tall spike.
            cv.BeginPart(L.helmet);
            Pt capC = at(ry * 0.62, 0);
            if (!flying) cv.SetClip(c.x, c.y - 0.5, rx + 0.6, ry + 0.6);
            cv.Ellipse(capC.x, capC.y, rx * 0.95, ry * 0.5);
            cv.ClearClip();
            Pt tip = at(ry + 10, 0), l = at(ry * 0.8, -4), r = at(ry * 0.8, 4);
            cv.Polygon({l, tip, r});
            break;
        }
        case Gear::Pot: {
            // An iron pot helmet with a wide brim.
            cv.BeginPart(L.pot);
            Pt dome = at(ry * 0.88, 0);
            cv.Ellipse(dome.x, dome.y, rx * 0.7, ry * 0.5);
            Pt brim = at(ry * 0.62, 0);
            if (std::fabs(uy) > 0.7)
                cv.Ellipse(brim.x, brim.y, rx + 3, 3.2);
            else
                cv.Ellipse(brim.x, brim.y, 3.2, rx + 3);
            cv.BeginFlat(L.pot.light, false);
            Pt rivet = at(ry * 0.95, v.fx * 3);
            cv.Pixel(static_cast<int>(rivet.x), static_cast<int>(rivet.y));
            break;
        }
        case Gear::Antenna: {
            // A bent antenna with a crackling ball at its tip.
            cv.BeginPart(L.feet[k]);
            Pt a0 = at(ry * 0.85, 0), a1 = at(ry + 5, flying ? 0 : 2), a2 = at(ry + 9, flying ? 0 : 5);
            cv.Capsule(a0, a1, 1.0);
            cv.Capsule(a1, a2, 1.0);
            cv.BeginPart(L.spark);
            cv.Ellipse(a2.x, a2.y, 3.2, 3.2);
            break;
        }
    }
}

void DrawEyes(Canvas& cv, const Look& L, const View& v, Pt c, double rx, double ry, Eyes eyes) {
    const double a = L.eyeAngle * kPi / 180.0;
    cv.SetClip(c.x, c.y, rx - 0.8, ry - 0.8);
    for (int s = -1; s <= 1; s += 2) {
        double dx = v.fx * std::cos(a) + v.rx * s * std::sin(a);
        double dy = v.fy * std::cos(a) + v.ry * s * std::sin(a);
        if (dy < -0.15) continue;
        double ex = c.x + dx * L.eyeSpread, ey = c.y + L.eyeDrop + dy * 1.5;
        if (eyes == Eyes::Closed) {
            DrawClosedEye(cv, {ex, ey}, 3, dx > 0, L.eye);
            continue;
        }
        if (eyes == Eyes::Flat) {
            cv.BeginFlat(L.eye, false);
            for (int k = -1; k <= 1; ++k)
                cv.Pixel(static_cast<int>(std::floor(ex)) + k, static_cast<int>(std::floor(ey)) + 1);
            continue;
        }
        cv.BeginFlat(L.white, false);
        cv.Ellipse(ex, ey, L.eyeRx, L.eyeRy);
        cv.BeginFlat(L.eye, false);
        cv.Ellipse(ex + v.fx * 0.9, ey + 0.6 + v.fy * 0.4, L.eyeRx * 0.6, L.eyeRy * 0.65);
        cv.BeginFlat(L.white, false);
        cv.Pixel(static_cast<int>(std::floor(ex + v.fx * 0.9)) - 1, static_cast<int>(std::floor(ey)) - 1);
    }
    cv.ClearClip();
}

void DrawCompanionCell(Canvas& cv, const Look& L, int k, double angle, const Pose& pose) {
    const View v = View::Facing(angle, L.groundX, L.groundY, L.squash);
    const double rx = L.bodyRx + pose.squashX, ry = L.bodyRy + pose.squashY;
    const double bodyH = L.bodyH + pose.bob - (L.bodyRy - ry) + (pose.flying ? L.flightRise : 0);
    const Pt c = v.At(-pose.back, 0, bodyH);
    DrawList list;

    if (pose.flying) {
        // Streaks of wind behind the body.
        const double dx = std::cos(angle * kPi / 180), dy = std::sin(angle * kPi / 180);
        list.Add(-60, [=, &L](Canvas& cv2) {
            cv2.BeginFlat(L.lines, false);
            for (int i = 0; i < L.lineCount; ++i) {
                double off = (i - (L.lineCount - 1) / 2.0) * 6.0;
                double start = rx + 2 + ((i + pose.flightFrame) % 2) * 3;
                Pt a{c.x - dx * start - dy * off, c.y - dy * start + dx * off};
                Pt b{a.x - dx * L.lineLength, a.y - dy * L.lineLength};
                cv2.Capsule(a, b, 0.8);
            }
        });
    } else {
        for (int i = 0; i < 2; ++i) {
            double side = i == 0 ? -L.feetSpread : L.feetSpread;
            Pt p = v.At(pose.footForward[i] - pose.back * 0.3, side, pose.footLift[i]);
            list.Add(-50 + v.Depth(pose.footForward[i], side) * 0.01, [=, &L](Canvas& cv2) {
                cv2.BeginPart(L.feet[k]);
                cv2.Ellipse(p.x, p.y, L.footRx, L.footRy);
            });
        }
    }
    // Hands at the sides: the far one behind the body, the near one in front.
    for (int i = 0; i < 2; ++i) {
        double side = (i == 0 ? -1 : 1) * (rx + 0.5);
        double fwd = pose.flying ? -2 : pose.handForward[i];
        Pt p = v.At(fwd - pose.back, side, bodyH - L.handDrop + pose.handRaise[i]);
        list.Add(v.Depth(fwd, side) * 0.5, [=, &L](Canvas& cv2) {
            cv2.BeginPart(L.body[k]);
            cv2.Ellipse(p.x, p.y, L.handR, L.handR);
        });
    }
    // Headgear that hangs behind the head (the antenna seen from the front) goes first.
    const bool front = v.FrontVisible();
    Pt up{0, -1};
    if (pose.flying) up = {std::cos(angle * kPi / 180), std::sin(angle * kPi / 180)};
    if (pose.flying && L.gear[k] == Gear::Antenna) up = {-up.x, -up.y};
    const bool gearBehind = pose.flying && L.gear[k] == Gear::Antenna;
    list.Add(gearBehind ? -1 : 1, [=, &L](Canvas& cv2) {
        cv2.BeginPart(L.body[k]);
        cv2.Ellipse(c.x, c.y, rx, ry);
        // The pale belly, on the side facing the viewer.
        const bool rolledAway = pose.flying && pose.flightFrame == 1;
        if ((front || std::fabs(v.fx) > 0.9) && !rolledAway) {
            cv2.SetClip(c.x, c.y, rx - 0.5, ry - 0.5);
            Pt b = v.At(rx * 0.55 - pose.back, 0, bodyH - 4);
            cv2.BeginPart(L.belly, true, true, false);
            cv2.Ellipse(b.x, b.y, L.bellyRx, L.bellyRy);
            if (L.gear[k] == Gear::Antenna) {
                // A lightning mark on the belly.
                cv2.BeginFlat(L.mark, false);
                int bx = static_cast<int>(std::floor(b.x)), by = static_cast<int>(std::floor(b.y));
                const int zig[6][2] = {{1, -3}, {0, -2}, {-1, -1}, {0, -1}, {1, 0}, {0, 1}};
                for (auto& z : zig) cv2.Pixel(bx + z[0], by + z[1]);
                cv2.Pixel(bx - 1, by + 2);
            }
            cv2.ClearClip();
        }
        if (front && !(pose.flying && pose.flightFrame == 1)) DrawEyes(cv2, L, v, c, rx, ry, pose.eyes);
    });
    list.Add(gearBehind ? -2 : 2,
             [=, &L](Canvas& cv2) { DrawGear(cv2, L, k, c, rx, ry, up, v, pose.flying); });
    if (pose.dust) {
        list.Add(-55, [=, &L](Canvas& cv2) {
            cv2.BeginPart({L.dust, L.dust, L.dust, L.dust}, false, true, false);
            cv2.Ellipse(L.groundX - rx - 3, L.groundY - 1, 3.5, 2.5);
            cv2.Ellipse(L.groundX + rx + 3, L.groundY - 1, 3.5, 2.5);
            cv2.Ellipse(L.groundX - rx - 7, L.groundY - 3, 2, 1.5);
            cv2.Ellipse(L.groundX + rx + 7, L.groundY - 3, 2, 1.5);
        });
    }
    if (pose.stars) {
        list.Add(10, [=, &L](Canvas& cv2) {
            double top = c.y - ry - 6;
            if (pose.stars == 1) {
                DrawStar(cv2, {c.x - 9, top + 2}, 2, L.star);
                DrawStar(cv2, {c.x + 8, top - 1}, 2, L.star);
            } else {
                DrawStar(cv2, {c.x - 6, top - 2}, 2, L.star);
                DrawStar(cv2, {c.x + 11, top + 3}, 2, L.star);
            }
        });
    }
    list.DrawAll(cv);
}

}  // namespace

Image DrawCompanionSheet(int k, const Palette& palette, const Params& p) {
    const Look L = ReadLook(palette, p);
    return PaintSheet({9, 6, 56, 56}, palette.Colour("key_magenta"), palette.Colour("outline"),
                      [&](int col, int row, Canvas& cv) {
                          Pose pose;
                          double angle;
                          if (row >= 4) {
                              if (col > 7) return false;
                              angle = PrincessRowAngle(col);
                              pose.flying = true;
                              pose.flightFrame = row - 4;
                              // The spin: the body stretches across, then along its flight.
                              pose.squashX = row == 4 ? 0.5 : -0.5;
                              pose.squashY = row == 4 ? -0.5 : 0.5;
                          } else {
                              angle = PrincessRowAngle(row);
                              if (col <= 1) {
                                  pose.bob = col == 1 ? -1 : 0;
                                  pose.squashX = col == 1 ? 0.5 : 0;
                                  pose.squashY = col == 1 ? -0.5 : 0;
                              } else if (col <= 5) {
                                  double ph = (col - 2) * kPi / 2;
                                  pose.footForward[0] = L.stride * std::cos(ph);
                                  pose.footForward[1] = -L.stride * std::cos(ph);
                                  pose.footLift[0] = std::max(0.0, std::sin(ph)) * L.lift;
                                  pose.footLift[1] = std::max(0.0, -std::sin(ph)) * L.lift;
                                  pose.handForward[0] = 1 - 3 * std::cos(ph);
                                  pose.handForward[1] = 1 + 3 * std::cos(ph);
                                  pose.bob = (col == 3 || col == 5) ? 1 : 0;
                              } else if (col <= 7) {
                                  pose.back = col == 6 ? 2 : 3;
                                  pose.squashX = col == 6 ? 1 : 1.5;
                                  pose.squashY = col == 6 ? -1 : -1.5;
                                  pose.eyes = Eyes::Closed;
                                  pose.handRaise[0] = pose.handRaise[1] = col == 6 ? 6 : 8;
                                  pose.stars = col == 6 ? 1 : 2;
                              } else {
                                  pose.squashX = 2;
                                  pose.squashY = -2.5;
                                  pose.eyes = Eyes::Flat;
                                  pose.dust = true;
                                  pose.stars = 1;
                              }
                          }
                          DrawCompanionCell(cv, L, k, angle, pose);
                          return true;
                      });
}

Image DrawFlightEffectSheet(const Palette& palette, const Params& p) {
    const auto arcs0 = p.Nums("effect_arcs_0", 3), arcs1 = p.Nums("effect_arcs_1", 3);
    const double spread = p.Num("effect_spread") * kPi / 180.0;
    const Rgb wind = palette.Colour(p.Word("colour_effect")),
              core = palette.Colour(p.Word("colour_effect_core"));
    const Rgb edge = palette.Colour(p.Word("colour_effect_edge"));
    // Where the companion's centre lies in an effect cell, by throw column: the effect is drawn
    // ahead of the companion, so the centre sits on the cell's edge or corner behind the flight.
    static const int kOrigin[8][2] = {{28, 0}, {0, 28}, {28, 56}, {56, 28},
                                      {0, 0},  {0, 56}, {56, 0},  {56, 56}};
    return PaintSheet({8, 2, 56, 56}, palette.Colour("key_magenta"), edge, [&](int col, int row, Canvas& cv) {
        const double dir = PrincessRowAngle(col) * kPi / 180.0;
        const Pt o{static_cast<double>(kOrigin[col][0]), static_cast<double>(kOrigin[col][1])};
        const auto& radii = row == 0 ? arcs0 : arcs1;
        for (size_t i = 0; i < radii.size(); ++i) {
            double r = radii[i];
            double half = spread * (1.0 - 0.25 * static_cast<double>(i) / radii.size());
            for (int layer = 0; layer < 2; ++layer) {
                cv.BeginFlat(layer == 0 ? wind : core, true);
                Pt prev{};
                const int steps = 14;
                for (int s = 0; s <= steps; ++s) {
                    double a = dir - half + 2 * half * s / steps;
                    // Thickest in the middle of the arc, thin at its ends.
                    double t = 1.0 - std::fabs(2.0 * s / steps - 1.0);
                    Pt q{o.x + r * std::cos(a), o.y + r * std::sin(a)};
                    if (s > 0) cv.Capsule(prev, q, layer == 0 ? 0.6 + 1.6 * t : 0.3 + 0.6 * t);
                    prev = q;
                }
            }
        }
        return true;
    });
}

}  // namespace contentgen
