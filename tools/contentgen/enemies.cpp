// The enemy sheets: Striker, Archer and Shield on one humanoid build, and the Chaser ghost.
#include <cmath>
#include <functional>

#include "tools/contentgen/figures.h"
#include "tools/contentgen/rig.h"

namespace contentgen {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct P3 {
    double fwd = 0, right = 0, h = 0;
};

enum class EyeMode { Open, Angry, Swirl, Hidden };

// Proportions and materials shared by the humanoid enemies.
struct Build {
    double groundX, groundY, squash;
    double legSpread, hipH, legR, bootRx, bootRy, stride, lift;
    double torsoH, torsoRx, torsoRy, shoulderH, shoulderW, armR, handR;
    double headH, headRx, headRy, eyeAngle, eyeSpread, eyeDrop;
    Material skin, arms, torso, legs, boots, pads;
    double padR;  // shoulder pads over the tops of the arms, 0 for none
    Rgb eye, star;

    Build(const Palette& pal, const Params& p) {
        auto g = p.Nums("ground", 2);
        groundX = g[0], groundY = g[1];
        squash = p.Num("squash");
        auto l = p.Nums("legs", 3);
        legSpread = l[0], hipH = l[1], legR = l[2];
        auto b = p.Nums("boots", 2);
        bootRx = b[0], bootRy = b[1];
        auto s = p.Nums("stride", 2);
        stride = s[0], lift = s[1];
        auto t = p.Nums("torso", 3);
        torsoH = t[0], torsoRx = t[1], torsoRy = t[2];
        auto sh = p.Nums("shoulders", 2);
        shoulderH = sh[0], shoulderW = sh[1];
        auto a = p.Nums("arm", 2);
        armR = a[0], handR = a[1];
        auto h = p.Nums("head", 3);
        headH = h[0], headRx = h[1], headRy = h[2];
        auto e = p.Nums("eyes", 3);
        eyeAngle = e[0], eyeSpread = e[1], eyeDrop = e[2];
        skin = pal.Mat(p.Word("mat_skin"));
        arms = pal.Mat(p.Word("mat_arms"));
        torso = pal.Mat(p.Word("mat_torso"));
        legs = pal.Mat(p.Word("mat_legs"));
        boots = pal.Mat(p.Word("mat_boots"));
        auto pad = p.Words("pads");
        padR = std::stod(pad.at(0));
        pads = padR > 0 ? pal.Mat(pad.at(1)) : torso;
        eye = pal.Colour(p.Word("colour_eye"));
        star = pal.Colour(p.Word("colour_star"));
    }
};

struct Pose {
    double bob = 0;  // upper body height change
    double footFwd[2] = {0, 0}, footLift[2] = {0, 0};
    P3 hand[2] = {{2, -9, 12}, {2, 9, 12}};  // [0] left hand, [1] right hand
    double lean = 0;                         // forward shift of the head and shoulders
    double tilt = 0;                         // sideways shift of the head (dazed)
    EyeMode eyes = EyeMode::Open;
    int stars = -1;  // dazed: the stars' turn (0-7), -1 for none
};

// A figure being drawn: the view, the build and the pose, with helpers for body points.
struct Figure {
    const Build& B;
    View v;
    Pose pose;
    Pt At(double fwd, double right, double h) const {
        double t = h > B.hipH ? std::min(1.0, (h - B.hipH) / (B.headH - B.hipH)) : 0;
        return v.At(fwd + pose.lean * t, right + pose.tilt * t * t, h > B.hipH ? h + pose.bob : h);
    }
    Pt At(P3 p) const { return At(p.fwd, p.right, p.h); }
    Pt Head() const { return At(0, 0, B.headH); }
};

void DrawEyePair(Canvas& cv, const Figure& f, Pt c, EyeMode mode) {
    if (mode == EyeMode::Hidden) return;
    const double a = f.B.eyeAngle * kPi / 180.0;
    cv.SetClip(c.x, c.y, f.B.headRx - 0.5, f.B.headRy - 0.5);
    for (int s = -1; s <= 1; s += 2) {
        double dx = f.v.fx * std::cos(a) + f.v.rx * s * std::sin(a);
        double dy = f.v.fy * std::cos(a) + f.v.ry * s * std::sin(a);
        if (dy < -0.1) continue;
        int ex = static_cast<int>(std::floor(c.x + dx * f.B.eyeSpread));
        int ey = static_cast<int>(std::floor(c.y + f.B.eyeDrop + dy));
        cv.BeginFlat(f.B.eye, false);
        if (mode == EyeMode::Swirl) {
            // A small ring: the eyes of a dazed figure.
            const int ring[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
            for (int k = 0; k < 7; ++k) cv.Pixel(ex + ring[k][0], ey + ring[k][1]);
            continue;
        }
        cv.Pixel(ex, ey);
        cv.Pixel(ex, ey + 1);
        if (mode == EyeMode::Angry) {
            // A brow slanting down towards the nose.
            int inner = dx < 0 ? 1 : -1;
            cv.Pixel(ex - inner, ey - 2);
            cv.Pixel(ex, ey - 2);
            cv.Pixel(ex + inner, ey - 1);
        }
    }
    cv.ClearClip();
}

void DrawStars(Canvas& cv, const Figure& f, int turn) {
    Pt h = f.Head();
    double top = h.y - f.B.headRy - 4;
    for (int k = 0; k < 2; ++k) {
        double a = (turn * 45.0 + k * 180.0) * kPi / 180.0;
        DrawStar(cv, {h.x + 9 * std::cos(a), top + 3 * std::sin(a)}, 2, f.B.star);
    }
}

// Queues legs, torso, arms and head; the caller adds clothing, headgear and held things.
void AddBody(DrawList& list, const Figure& f, const std::function<void(Canvas&, Pt)>& headExtras) {
    const Build& B = f.B;
    for (int i = 0; i < 2; ++i) {
        double side = (i == 0 ? -1 : 1) * B.legSpread;
        Pt hip = f.At(0, side, B.hipH);
        Pt foot = f.v.At(f.pose.footFwd[i], side, f.pose.footLift[i] + B.bootRy);
        list.Add(-50 + f.v.Depth(f.pose.footFwd[i], side) * 0.01, [=, &B](Canvas& cv) {
            cv.BeginPart(B.legs);
            cv.Capsule(hip, foot, B.legR);
            cv.BeginPart(B.boots);
            cv.Ellipse(foot.x, foot.y + 0.5, B.bootRx, B.bootRy);
        });
    }
    list.Add(0, [&f, &B](Canvas& cv) {
        Pt c = f.At(0, 0, B.torsoH);
        cv.BeginPart(B.torso);
        cv.Ellipse(c.x, c.y, B.torsoRx, B.torsoRy);
    });
    for (int i = 0; i < 2; ++i) {
        double side = i == 0 ? -1 : 1;
        Pt shoulder = f.At(0, side * B.shoulderW, B.shoulderH);
        Pt hand = f.At(f.pose.hand[i]);
        list.Add(f.v.Depth(1, side) * 1.0 + (i == 1 ? 0.01 : 0), [=, &B](Canvas& cv) {
            cv.BeginPart(B.arms);
            cv.Capsule(shoulder, hand, B.armR);
            cv.Ellipse(hand.x, hand.y, B.handR, B.handR);
            if (B.padR > 0) {
                cv.BeginPart(B.pads);
                cv.Ellipse(shoulder.x, shoulder.y + 0.5, B.padR, B.padR * 0.85);
            }
        });
    }
    list.Add(5, [&f, &B, headExtras](Canvas& cv) {
        Pt h = f.Head();
        cv.BeginPart(B.skin);
        cv.Ellipse(h.x, h.y, B.headRx, B.headRy);
        if (f.v.FrontVisible()) DrawEyePair(cv, f, h, f.pose.eyes);
        if (headExtras) headExtras(cv, h);
    });
    if (f.pose.stars >= 0) list.Add(20, [&f](Canvas& cv) { DrawStars(cv, f, f.pose.stars); });
}

// Walking legs for a step column: -1 left foot forward, +1 right foot forward, 0 standing.
void Step(Pose& pose, const Build& B, int step) {
    pose.footFwd[0] = -step * B.stride;
    pose.footFwd[1] = step * B.stride;
    pose.footLift[0] = step > 0 ? B.lift * 0.5 : 0;
    pose.footLift[1] = step < 0 ? B.lift * 0.5 : 0;
    pose.bob = step != 0 ? 1 : 0;
}

double RowAngle(int row) {
    return row < 4 ? EnemyRowAngle(row) : 90.0;
}

// ---------------------------------------------------------------------------------------------
// Striker

void DrawClub(Canvas& cv, const Material& wood, const Material& spikes, Pt grip, Pt tip) {
    double dx = tip.x - grip.x, dy = tip.y - grip.y, len = std::sqrt(dx * dx + dy * dy);
    Pt butt{grip.x - dx / len * 2.5, grip.y - dy / len * 2.5};
    cv.BeginPart(wood);
    cv.Capsule(butt, Lerp(grip, tip, 0.6), 1.5);
    cv.Capsule(Lerp(grip, tip, 0.55), tip, 3.2);
    // Bone studs on the club's head.
    cv.BeginPart(spikes, false, true, false);
    double px = -dy / len, py = dx / len;
    Pt s1 = Lerp(grip, tip, 0.8), s2 = Lerp(grip, tip, 0.98);
    cv.Pixel(static_cast<int>(std::floor(s1.x + px * 3.8)), static_cast<int>(std::floor(s1.y + py * 3.8)));
    cv.Pixel(static_cast<int>(std::floor(s1.x - px * 3.8)), static_cast<int>(std::floor(s1.y - py * 3.8)));
    cv.Pixel(static_cast<int>(std::floor(s2.x + dx / len * 3.5)),
             static_cast<int>(std::floor(s2.y + dy / len * 3.5)));
}

}  // namespace

Image DrawStrikerSheet(const Palette& pal, const Params& p) {
    const Build B(pal, p);
    const Material belt = pal.Mat(p.Word("mat_belt")), wood = pal.Mat(p.Word("mat_weapon"));
    const Material horn = pal.Mat(p.Word("mat_horn"));
    const Rgb brow = pal.Colour(p.Word("colour_brow")), tusk = pal.Colour(p.Word("colour_tusk"));
    const Rgb impact = pal.Colour(p.Word("colour_impact"));
    p.CheckAllRead();
    (void)brow;
    return PaintSheet(
        {8, 5, 48, 48}, pal.Colour("key_magenta"), pal.Colour("outline"), [&](int col, int row, Canvas& cv) {
            if (row < 4 && col > 6) return false;
            Figure f{B, View::Facing(RowAngle(row), B.groundX, B.groundY, B.squash), {}};
            Pose& pose = f.pose;
            pose.eyes = EyeMode::Angry;
            // The club: grip in the right hand, tip, by column.
            P3 grip{3, 9, 12}, tip{5, 11, 26};
            bool smash = false;
            if (row == 4) {
                pose.bob = -3;
                pose.tilt = (col % 2 == 0) ? -2.5 : 2.5;
                pose.eyes = EyeMode::Swirl;
                pose.stars = col;
                pose.hand[0] = {1, -10, 6};
                pose.hand[1] = {1, 10, 6};
                grip = {2, 12, 3};
                tip = {-4, 17, 2};  // the club dropped beside the feet
            } else if (col == 0) {
                pose.bob = -1;
            } else if (col == 2 || col == 3) {
                Step(pose, B, col == 2 ? -1 : 1);
                pose.hand[0].fwd = col == 2 ? 4 : -1;
            } else if (col == 4) {
                grip = {-1, 7, 27};
                tip = {-8, 5, 38};
                pose.lean = -1.5;
                pose.hand[0] = {0, -9, 16};
            } else if (col == 5) {
                grip = {5, 6, 20};
                tip = {13, 4, 27};
                pose.lean = 1.5;
                Step(pose, B, 1);
            } else if (col == 6) {
                grip = {8, 3, 12};
                tip = {16, 1, 3};
                pose.lean = 2.5;
                pose.bob = -1;
                Step(pose, B, 1);
                smash = true;
            }
            pose.hand[1] = grip;
            DrawList list;
            AddBody(list, f, [&](Canvas& c2, Pt h) {
                // Horns, and tusks under the mouth seen from the front.
                c2.BeginPart(horn);
                if (std::fabs(f.v.fx) > 0.9) {
                    // Seen from the side one horn shows, rising from the crown and sweeping back.
                    Pt base{h.x - f.v.fx * 1.0, h.y - B.headRy + 2.0};
                    Pt tipH{h.x - f.v.fx * 3.5, h.y - B.headRy - 4.0};
                    c2.Capsule(base, tipH, 1.4);
                } else {
                    for (int s = -1; s <= 1; s += 2) {
                        Pt base = f.At(-0.5, s * (B.headRx - 1.5), B.headH + B.headRy * 0.55);
                        Pt tipH = f.At(-0.5, s * (B.headRx + 1.5), B.headH + B.headRy + 4);
                        c2.Capsule(base, tipH, 1.4);
                    }
                }
                if (f.v.FrontVisible() && row < 4) {
                    c2.BeginFlat(tusk, false);
                    int mx = static_cast<int>(std::floor(h.x + f.v.fx * 4.5)),
                        my = static_cast<int>(std::floor(h.y + 3.5));
                    if (std::fabs(f.v.fx) < 0.5) {
                        c2.Pixel(mx - 2, my);
                        c2.Pixel(mx + 1, my);
                        c2.Pixel(mx - 2, my - 1);
                        c2.Pixel(mx + 1, my - 1);
                    } else {
                        c2.Pixel(mx, my);
                        c2.Pixel(mx, my - 1);
                    }
                }
            });
            // A bone belt across the middle, seen from every side.
            list.Add(0.5, [&](Canvas& c2) {
                Pt c = f.At(0, 0, B.torsoH - 3);
                c2.SetClip(f.At(0, 0, B.torsoH).x, f.At(0, 0, B.torsoH).y, B.torsoRx - 0.5, B.torsoRy - 0.5);
                c2.BeginPart(belt);
                c2.Rect(c.x - B.torsoRx, c.y - 1, c.x + B.torsoRx, c.y + 1.5);
                c2.ClearClip();
            });
            Pt g = f.At(grip), t = f.At(tip);
            if (row == 4) g = f.v.At(grip.fwd, grip.right, grip.h), t = f.v.At(tip.fwd, tip.right, tip.h);
            double depth = f.v.Depth((grip.fwd + tip.fwd) / 2, (grip.right + tip.right) / 2);
            list.Add(depth > 0.5 ? 8 : -40, [&, g, t](Canvas& c2) {
                DrawClub(c2, wood, horn, g, t);
                if (smash) {
                    // Dust thrown up where the club lands.
                    c2.BeginFlat(impact, false);
                    for (int s = -1; s <= 1; s += 2) {
                        c2.Pixel(static_cast<int>(t.x) + 4 * s, static_cast<int>(t.y) - 2);
                        c2.Pixel(static_cast<int>(t.x) + 5 * s, static_cast<int>(t.y) - 4);
                    }
                }
            });
            list.DrawAll(cv);
            return true;
        });
}

// ---------------------------------------------------------------------------------------------
// Archer

Image DrawArcherSheet(const Palette& pal, const Params& p) {
    const Build B(pal, p);
    auto hood = p.Nums("hood", 2), cape = p.Nums("cape", 3), bow = p.Nums("bow", 3);
    const Material hoodMat = pal.Mat(p.Word("mat_hood")), wood = pal.Mat(p.Word("mat_weapon"));
    const Rgb string = pal.Colour(p.Word("colour_string")), tipColour = pal.Colour(p.Word("colour_tip"));
    p.CheckAllRead();
    return PaintSheet(
        {5, 5, 48, 48}, pal.Colour("key_magenta"), pal.Colour("outline"), [&](int col, int row, Canvas& cv) {
            Figure f{B, View::Facing(RowAngle(row), B.groundX, B.groundY, B.squash), {}};
            Pose& pose = f.pose;
            // Bow in the left hand: forward reach, height of its middle, and the draw of the string.
            double bowFwd = bow[0], bowH = 17, draw = 0, raise = 1.0;
            bool arrow = false, released = false, lowered = false;
            if (row == 4) {
                pose.bob = -3;
                pose.tilt = (col % 2 == 0) ? -2.5 : 2.5;
                pose.eyes = EyeMode::Swirl;
                pose.stars = col;
                lowered = true;
            } else if (col == 0) {
                lowered = true;
            } else if (col == 1) {
                bowH = 18;
                raise = 0.8;
            } else if (col == 2) {
                bowH = 20;
                draw = 3;
                arrow = true;
            } else if (col == 3) {
                bowH = 20;
                draw = 6;
                arrow = true;
                pose.lean = -0.5;
            } else {
                bowH = 20;
                released = true;
                pose.lean = 0.5;
            }
            if (lowered) {
                pose.hand[0] = {2, -8, 11};
                pose.hand[1] = {1, 8, 11};
            } else {
                pose.hand[0] = {bowFwd, -1.5, bowH};
                pose.hand[1] = released ? P3{-4, 6, bowH + 2} : P3{bowFwd - 2 - draw, 1.5, bowH};
            }
            DrawList list;
            // The cape hangs behind the shoulders.
            list.Add(f.v.FrontVisible() ? -30 : 1, [&](Canvas& c2) {
                Pt top = f.At(-1.5, 0, cape[0]);
                Pt bottom = f.At(-2, 0, cape[1]);
                double w = cape[2];
                c2.BeginPart(hoodMat);
                c2.Polygon({{top.x - w * 0.6, top.y},
                            {top.x + w * 0.6, top.y},
                            {bottom.x + w, bottom.y},
                            {bottom.x, bottom.y + 2},
                            {bottom.x - w, bottom.y}});
            });
            AddBody(list, f, [&](Canvas& c2, Pt h) {
                // The hood: round the back and top of the head, the face showing in front.
                (void)h;
                Pt hc = f.At(-1.0, 0, B.headH + 1);
                c2.BeginPart(hoodMat);
                if (f.v.FrontVisible()) {
                    // The face shows in the opening of the hood.
                    c2.Ellipse(hc.x, hc.y, hood[0], hood[1]);
                    Pt face{hc.x + f.v.fx * 2.0, hc.y + 2.0};
                    c2.BeginPart(B.skin);
                    c2.Ellipse(face.x, face.y, hood[0] - 3, hood[1] - 2.5);
                    DrawEyePair(c2, f, {face.x, face.y - 1}, pose.eyes);
                } else {
                    c2.Ellipse(hc.x, hc.y, hood[0], hood[1]);
                }
                // The hood's point falls back over the neck.
                Pt tipPt = f.At(-5, 0, B.headH + 4);
                c2.BeginPart(hoodMat);
                if (!f.v.FrontVisible() || std::fabs(f.v.fx) > 0.9) c2.Ellipse(tipPt.x, tipPt.y, 3, 3);
            });
            // The bow: a bent stave from tip to tip, the string, and the arrow while drawing.
            list.Add(f.v.Depth(bowFwd, -1.5) > 0.5 ? 8 : -40, [&](Canvas& c2) {
                Pt hand = f.At(pose.hand[0]);
                std::vector<Pt> stave;
                for (int k = 0; k <= 8; ++k) {
                    double t = k / 8.0 * 2 - 1;  // -1 lower tip .. +1 upper tip
                    double bend = bow[2] * (1 - t * t);
                    if (lowered)
                        stave.push_back(f.v.At(pose.hand[0].fwd + bend * 0.6 + t * 2, pose.hand[0].right - 1,
                                               pose.hand[0].h + t * bow[1] * 0.9));
                    else
                        stave.push_back(f.At(pose.hand[0].fwd + bend - (draw > 0 ? 0 : 0), pose.hand[0].right,
                                             pose.hand[0].h + t * bow[1] * raise));
                }
                (void)hand;
                c2.BeginPart(wood);
                for (size_t k = 1; k < stave.size(); ++k) c2.Capsule(stave[k - 1], stave[k], 1.0);
                // The string, pulled back to the right hand while drawing.
                c2.BeginFlat(string, false);
                Pt top = stave.back(), low = stave.front();
                Pt pull = draw > 0 ? f.At(pose.hand[1]) : Lerp(top, low, 0.5);
                for (int k = 0; k <= 12; ++k) {
                    Pt a = Lerp(top, pull, k / 12.0), b = Lerp(pull, low, k / 12.0);
                    c2.Pixel(static_cast<int>(std::floor(a.x)), static_cast<int>(std::floor(a.y)));
                    c2.Pixel(static_cast<int>(std::floor(b.x)), static_cast<int>(std::floor(b.y)));
                }
                if (arrow) {
                    Pt from = f.At(pose.hand[1]);
                    Pt to = f.At(pose.hand[0].fwd + bow[2] + 5, pose.hand[0].right + 0.5, pose.hand[0].h);
                    c2.BeginFlat(wood.light, false);
                    for (int k = 0; k <= 16; ++k) {
                        Pt a = Lerp(from, to, k / 16.0);
                        c2.Pixel(static_cast<int>(std::floor(a.x)), static_cast<int>(std::floor(a.y)));
                    }
                    c2.BeginFlat(tipColour, false);
                    c2.Pixel(static_cast<int>(std::floor(to.x)), static_cast<int>(std::floor(to.y)));
                }
            });
            list.DrawAll(cv);
            return true;
        });
}

// ---------------------------------------------------------------------------------------------
// Shield

Image DrawShieldSheet(const Palette& pal, const Params& p) {
    const Build B(pal, p);
    auto shield = p.Nums("shield", 4), emblem = p.Nums("emblem", 2);
    const Material helmet = pal.Mat(p.Word("mat_helmet")), rim = pal.Mat(p.Word("mat_shield"));
    const Material face = pal.Mat(p.Word("mat_face")), crest = pal.Mat(p.Word("mat_crest"));
    const Rgb visor = pal.Colour(p.Word("colour_visor")), emblemColour = pal.Colour(p.Word("colour_emblem"));
    p.CheckAllRead();
    return PaintSheet(
        {2, 5, 48, 48}, pal.Colour("key_magenta"), pal.Colour("outline"), [&](int col, int row, Canvas& cv) {
            Figure f{B, View::Facing(RowAngle(row), B.groundX, B.groundY, B.squash), {}};
            Pose& pose = f.pose;
            double shieldDrop = 0, shieldTilt = 0;
            if (row == 4) {
                pose.bob = -3;
                pose.tilt = col == 0 ? -2.5 : 2.5;
                pose.eyes = EyeMode::Swirl;
                pose.stars = col * 3;
                shieldDrop = 6;
                shieldTilt = col == 0 ? 3 : -3;
            } else if (col == 1) {
                pose.bob = -1;
                shieldDrop = 1;
            }
            pose.hand[0] = {shield[0] - 2, -4, shield[3] - shieldDrop};
            pose.hand[1] = {1, 9, 12};
            DrawList list;
            AddBody(list, f, [&](Canvas& c2, Pt h) {
                // A round helmet with a slit visor and a red crest.
                c2.BeginPart(helmet);
                c2.Ellipse(h.x, h.y - 0.5, B.headRx + 0.8, B.headRy + 0.8);
                if (f.v.FrontVisible() && row < 4) {
                    c2.BeginFlat(visor, false);
                    int vy = static_cast<int>(std::floor(h.y + 0.5));
                    int vx = static_cast<int>(std::floor(h.x + f.v.fx * 3));
                    int half = std::fabs(f.v.fx) > 0.9 ? 2 : 4;
                    for (int k = -half; k <= half; ++k) c2.Pixel(vx + k, vy);
                } else if (row == 4) {
                    c2.BeginPart(B.skin);
                    c2.Ellipse(h.x, h.y + 1.5, B.headRx - 2.5, B.headRy - 3.5);
                    DrawEyePair(c2, f, {h.x, h.y + 1}, EyeMode::Swirl);
                }
                c2.BeginPart(crest);
                Pt c0 = f.At(1, 0, B.headH + B.headRy + 1), c1 = f.At(-4, 0, B.headH + B.headRy - 1);
                c2.Capsule(c0, c1, 2.2);
            });
            // The tower shield in front, held in the left hand.
            double depth = f.v.Depth(shield[0], -3);
            list.Add(depth > 0.5 ? 9 : -40, [&](Canvas& c2) {
                Pt c = f.v.At(shield[0], -3, shield[3] - shieldDrop + (row == 4 ? 0 : pose.bob));
                c.x += shieldTilt;
                double hw = shield[1], hh = shield[2];
                if (std::fabs(f.v.fx) > 0.9) hw = 3.2;  // seen edge on from the side
                c2.BeginPart(rim);
                c2.Polygon({{c.x - hw, c.y - hh + 2},
                            {c.x - hw + 2, c.y - hh},
                            {c.x + hw - 2, c.y - hh},
                            {c.x + hw, c.y - hh + 2},
                            {c.x + hw, c.y + hh - 4},
                            {c.x, c.y + hh},
                            {c.x - hw, c.y + hh - 4}});
                if (hw > 4 && f.v.FrontVisible()) {
                    c2.BeginPart(face);
                    double ix = hw - 2, iy = hh - 2;
                    c2.Polygon({{c.x - ix, c.y - iy + 1},
                                {c.x - ix + 1, c.y - iy},
                                {c.x + ix - 1, c.y - iy},
                                {c.x + ix, c.y - iy + 1},
                                {c.x + ix, c.y + iy - 3},
                                {c.x, c.y + iy},
                                {c.x - ix, c.y + iy - 3}});
                    c2.BeginFlat(emblemColour, false);
                    c2.Rect(c.x - 1, c.y - emblem[1] - 1, c.x + 1, c.y + emblem[1] - 1);
                    c2.Rect(c.x - emblem[0], c.y - 3, c.x + emblem[0], c.y - 1);
                }
            });
            list.DrawAll(cv);
            return true;
        });
}

// ---------------------------------------------------------------------------------------------
// Chaser

Image DrawChaserSheet(const Palette& pal, const Params& p) {
    auto g = p.Nums("ground", 2), body = p.Nums("body", 3), skirt = p.Nums("skirt", 3),
         arms = p.Nums("arms", 2);
    auto eyes = p.Nums("eyes", 5), shadow = p.Nums("shadow", 2);
    const double squash = p.Num("squash"), floatH = p.Num("float");
    const Material mat = pal.Mat(p.Word("mat_body"));
    const Rgb eye = pal.Colour(p.Word("colour_eye")), mouth = pal.Colour(p.Word("colour_mouth"));
    const Rgb shadowColour = pal.Colour(p.Word("colour_shadow")), star = pal.Colour(p.Word("colour_star"));
    const Rgb white = pal.Colour("white");
    p.CheckAllRead();
    return PaintSheet(
        {8, 5, 48, 48}, pal.Colour("key_magenta"), pal.Colour("outline"), [&](int col, int row, Canvas& cv) {
            if (row < 4 && col > 6) return false;
            const View v = View::Facing(RowAngle(row), g[0], g[1], squash);
            double rise = 0, fwd = 0, stretchX = 0, stretchY = 0, armRaise = 0, armFwd = 0;
            int wave = col % 2;
            int mouthSize = 0;
            bool dazed = row == 4;
            if (dazed) {
                rise = -4;
                stretchX = 1.5;
                stretchY = -1.5;
                wave = col % 2;
            } else if (col == 0) {
                rise = floatH * 0.5;
            } else if (col == 1) {
                rise = floatH;
            } else if (col == 2 || col == 3) {
                rise = col == 2 ? floatH * 1.5 : floatH * 0.5;
                fwd = 1;
                armFwd = col == 2 ? 2 : -2;
            } else if (col == 4) {
                rise = floatH * 2;
                fwd = -2;
                armRaise = 7;
                mouthSize = 1;
            } else if (col == 5) {
                rise = floatH;
                fwd = 3;
                armRaise = 2;
                armFwd = 4;
                mouthSize = 2;
                stretchY = 1;
            } else {
                rise = floatH * 0.5;
                fwd = 5;
                armFwd = 6;
                mouthSize = 2;
                stretchX = -1;
                stretchY = 1.5;
            }
            const double rx = body[1] + stretchX, ry = body[2] + stretchY;
            const Pt c = v.At(fwd, 0, body[0] + rise);
            const Pt hem = v.At(fwd * 0.6 - 1, 0, skirt[0] + rise);
            DrawList list;
            list.Add(-60, [&](Canvas& c2) {
                c2.BeginFlat(shadowColour, false);
                c2.Ellipse(g[0] + v.fx * fwd * 0.5, g[1] - 1, shadow[0], shadow[1]);
            });
            for (int i = 0; i < 2; ++i) {
                double side = i == 0 ? -1 : 1;
                Pt hand = v.At(fwd + armFwd, side * (rx + 1), body[0] + rise - arms[1] + armRaise);
                list.Add(v.Depth(1 + armFwd, side) * 0.5, [=, &mat](Canvas& c2) {
                    c2.BeginPart(mat);
                    c2.Ellipse(hand.x, hand.y, arms[0], arms[0] * 0.8);
                });
            }
            list.Add(0, [&](Canvas& c2) {
                // The sheet: a round top, sides falling to a scalloped hem.
                c2.BeginPart(mat);
                c2.Ellipse(c.x, c.y, rx, ry);
                std::vector<Pt> poly{{c.x - rx, c.y}, {c.x + rx, c.y}};
                const int scallops = static_cast<int>(skirt[2]);
                const double hw = skirt[1] + stretchX;
                poly.push_back({hem.x + hw, hem.y});
                for (int k = 0; k <= scallops * 4; ++k) {
                    double t = static_cast<double>(k) / (scallops * 4);
                    double x = hem.x + hw - 2 * hw * t;
                    double phase = (t * scallops + wave * 0.5) * 2 * kPi;
                    poly.push_back({x, hem.y + 1.5 + 1.5 * std::cos(phase)});
                }
                c2.Polygon(poly);
                if (v.FrontVisible()) {
                    const double a = eyes[0] * kPi / 180.0;
                    c2.SetClip(c.x, c.y, rx - 0.5, ry + 3);
                    for (int s = -1; s <= 1; s += 2) {
                        double dx = v.fx * std::cos(a) + v.rx * s * std::sin(a);
                        double dy = v.fy * std::cos(a) + v.ry * s * std::sin(a);
                        if (dy < -0.1) continue;
                        double ex = c.x + dx * eyes[1], ey = c.y + eyes[4] + dy;
                        if (dazed) {
                            c2.BeginFlat(eye, false);
                            const int ring[7][2] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0},
                                                    {1, 1},   {0, 1},  {-1, 1}};
                            for (auto& r : ring)
                                c2.Pixel(static_cast<int>(std::floor(ex)) + r[0],
                                         static_cast<int>(std::floor(ey)) + r[1]);
                            continue;
                        }
                        c2.BeginFlat(eye, false);
                        c2.Ellipse(ex, ey, eyes[2], eyes[3]);
                        c2.BeginFlat(white, false);
                        c2.Pixel(static_cast<int>(std::floor(ex)) - 1, static_cast<int>(std::floor(ey)) - 2);
                    }
                    double mx = c.x + v.fx * eyes[1] * 0.9, my = c.y + 5.5;
                    c2.BeginFlat(mouth, false);
                    if (mouthSize > 0)
                        c2.Ellipse(mx, my, 1.2 + mouthSize, 1.0 + mouthSize);
                    else if (dazed) {
                        for (int k = -2; k <= 2; ++k)
                            c2.Pixel(static_cast<int>(mx) + k, static_cast<int>(my) + (k % 2 == 0 ? 0 : 1));
                    } else {
                        c2.Pixel(static_cast<int>(mx), static_cast<int>(my));
                        c2.Pixel(static_cast<int>(mx) - 1, static_cast<int>(my));
                    }
                    c2.ClearClip();
                }
            });
            if (dazed) {
                list.Add(20, [&](Canvas& c2) {
                    double top = c.y - ry - 4;
                    for (int k = 0; k < 2; ++k) {
                        double a = (col * 45.0 + k * 180.0) * kPi / 180.0;
                        DrawStar(c2, {c.x + 9 * std::cos(a), top + 3 * std::sin(a)}, 2, star);
                    }
                });
            }
            list.DrawAll(cv);
            return true;
        });
}

}  // namespace contentgen
