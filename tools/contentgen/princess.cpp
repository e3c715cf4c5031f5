// The princess sheet: eight facings, idle, walking, the hammer swing and the knocked-back pose.
#include <cmath>

#include "tools/contentgen/figures.h"
#include "tools/contentgen/rig.h"

namespace contentgen {

namespace {

enum class Hammer { Carry, Windup, Mid, Hit, Flung };

struct Pose {
    double bob = 0;
    double footForward[2] = {0, 0};  // [0] left foot, [1] right foot
    double footLift[2] = {0, 0};
    double leftHandForward = 2;
    double sway = 0;  // the hem swings this far to her right
    Hammer hammer = Hammer::Carry;
    bool knocked = false;
};

struct Look {
    explicit Look(const Palette& pal, const Params& p);
    double groundX, groundY, squash;
    double feetSpread, footRx, footRy, stride, lift, bob;
    double hemH, hemR, waistH, waistR, shoulderH, shoulderW, sleeveR;
    double armR, handH, handB;
    double headH, headRx, headRy, hairRx, hairRy;
    double longH, longFwd, longRx, longRy;
    double fringeRise, fringeRx, fringeRy, locksB, locksDrop, locksRx, locksRy;
    double crownRise, crownW, crownH;
    double eyeAngle, eyeSpread, eyeDrop;
    double carry[6], headHalf, headR, handleR;
    double windup[3], mid[3], hit[2], knockedLean;
    Material skin, hair, dress, lace, crown, handle, mallet, band, shoe;
    Rgb eye, blush, mouth, swoosh, spark, gem, daze, white;
};

Look::Look(const Palette& pal, const Params& p) {
    auto two = [&](const char* k, double& a, double& b) {
        auto v = p.Nums(k, 2);
        a = v[0];
        b = v[1];
    };
    two("ground", groundX, groundY);
    squash = p.Num("squash");
    auto f = p.Nums("feet", 3);
    feetSpread = f[0], footRx = f[1], footRy = f[2];
    two("stride", stride, lift);
    bob = p.Num("bob");
    two("hem", hemH, hemR);
    two("waist", waistH, waistR);
    auto s = p.Nums("shoulders", 3);
    shoulderH = s[0], shoulderW = s[1], sleeveR = s[2];
    auto a = p.Nums("arm", 3);
    armR = a[0], handH = a[1], handB = a[2];
    auto h = p.Nums("head", 3);
    headH = h[0], headRx = h[1], headRy = h[2];
    two("hair", hairRx, hairRy);
    auto l = p.Nums("hair_long", 4);
    longH = l[0], longFwd = l[1], longRx = l[2], longRy = l[3];
    auto fr = p.Nums("fringe", 3);
    fringeRise = fr[0], fringeRx = fr[1], fringeRy = fr[2];
    auto lk = p.Nums("locks", 4);
    locksB = lk[0], locksDrop = lk[1], locksRx = lk[2], locksRy = lk[3];
    auto c = p.Nums("crown", 3);
    crownRise = c[0], crownW = c[1], crownH = c[2];
    auto e = p.Nums("eyes", 3);
    eyeAngle = e[0], eyeSpread = e[1], eyeDrop = e[2];
    auto hc = p.Nums("hammer_carry", 6);
    for (int i = 0; i < 6; ++i) carry[i] = hc[i];
    two("hammer_head", headHalf, headR);
    handleR = p.Num("handle");
    auto w = p.Nums("swing_windup", 3), m = p.Nums("swing_mid", 3), hi = p.Nums("swing_hit", 2);
    for (int i = 0; i < 3; ++i) windup[i] = w[i], mid[i] = m[i];
    hit[0] = hi[0], hit[1] = hi[1];
    knockedLean = p.Num("knocked_lean");
    skin = pal.Mat(p.Word("mat_skin"));
    hair = pal.Mat(p.Word("mat_hair"));
    dress = pal.Mat(p.Word("mat_dress"));
    lace = pal.Mat(p.Word("mat_lace"));
    crown = pal.Mat(p.Word("mat_crown"));
    handle = pal.Mat(p.Word("mat_handle"));
    mallet = pal.Mat(p.Word("mat_mallet"));
    band = pal.Mat(p.Word("mat_band"));
    shoe = pal.Mat(p.Word("mat_shoe"));
    eye = pal.Colour(p.Word("colour_eye"));
    blush = pal.Colour(p.Word("colour_blush"));
    mouth = pal.Colour(p.Word("colour_mouth"));
    swoosh = pal.Colour(p.Word("colour_swoosh"));
    spark = pal.Colour(p.Word("colour_spark"));
    gem = pal.Colour(p.Word("colour_gem"));
    daze = pal.Colour(p.Word("colour_daze"));
    white = pal.Colour("white");
}

// Signs of a row's facing and of her right-hand side on the screen (each -1, 0 or 1).
void FacingSigns(int row, int& fx, int& fy, int& rx, int& ry) {
    static const int kF[8][2] = {{0, 1}, {1, 0}, {0, -1}, {-1, 0}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
    fx = kF[row][0];
    fy = kF[row][1];
    rx = -fy;
    ry = fx;
}

void DrawMallet(Canvas& c, const Look& L, Pt bottom, Pt head) {
    c.BeginPart(L.handle);
    c.Capsule(bottom, head, L.handleR);
    double dx = head.x - bottom.x, dy = head.y - bottom.y, len = std::sqrt(dx * dx + dy * dy);
    double ax = len > 0 ? -dy / len : 1, ay = len > 0 ? dx / len : 0;  // the head's axis
    c.BeginPart(L.mallet);
    c.Capsule({head.x - ax * L.headHalf, head.y - ay * L.headHalf},
              {head.x + ax * L.headHalf, head.y + ay * L.headHalf}, L.headR);
    c.BeginPart(L.band);
    c.Capsule({head.x - ax * 0.5, head.y - ay * 0.5}, {head.x + ax * 0.5, head.y + ay * 0.5}, L.headR + 0.3);
}

void DrawPrincessCell(Canvas& c, const Look& L, int row, const Pose& pose) {
    const View v = View::Facing(PrincessRowAngle(row), L.groundX, L.groundY, L.squash);
    const bool front = v.FrontVisible();
    const double lean = pose.knocked ? -L.knockedLean : 0;
    // Upper body point: the body dips by bob and leans back from the waist when knocked.
    auto U = [&](double fwd, double right, double h) {
        double t = h > L.waistH ? (h - L.waistH) / (L.headH - L.waistH) : 0;
        return v.At(fwd + lean * t, right, h - pose.bob);
    };
    DrawList list;

    // Feet peek out under the hem.
    for (int i = 0; i < 2; ++i) {
        double side = i == 0 ? -L.feetSpread : L.feetSpread;
        Pt p = v.At(pose.footForward[i], side, pose.footLift[i]);
        list.Add(-50 + v.Depth(pose.footForward[i], side) * 0.01, [=, &L](Canvas& cv) {
            cv.BeginPart(L.shoe);
            cv.Ellipse(p.x, p.y, L.footRx, L.footRy);
        });
    }

    // Long hair hangs down her back: behind her seen from the front, over her seen from behind.
    list.Add(front ? -40 : 20, [&](Canvas& cv) {
        Pt p = U(L.longFwd, 0, L.longH);
        cv.BeginPart(L.hair);
        cv.Ellipse(p.x, p.y, L.longRx, L.longRy);
    });

    // Skirt, bodice and the lace trim of the hem.
    list.Add(0, [&](Canvas& cv) {
        std::vector<Pt> poly;
        const int steps = 8;
        std::vector<Pt> left, right;
        for (int k = 0; k <= steps; ++k) {
            double t = static_cast<double>(k) / steps;
            double h = L.waistH + (L.hemH - L.waistH) * t;
            double r = L.waistR + (L.hemR - L.waistR) * std::pow(t, 1.5);
            Pt centre = U(0, pose.sway * t, h);
            left.push_back({centre.x - r, centre.y});
            right.push_back({centre.x + r, centre.y});
        }
        Pt hem = U(0, pose.sway, L.hemH);
        const double hemDrop = L.hemR * L.squash * 0.42;
        for (auto& p : left) poly.push_back(p);
        for (int k = 1; k < 12; ++k) {
            double a = 3.14159265358979 * (1.0 - k / 12.0);
            poly.push_back({hem.x + L.hemR * std::cos(a), hem.y + hemDrop * std::sin(a)});
        }
        for (int k = steps; k >= 0; --k) poly.push_back(right[k]);
        cv.BeginPart(L.dress);
        cv.Polygon(poly);
        Pt chest = U(0, 0, (L.waistH + L.shoulderH) / 2 + 0.5);
        cv.Ellipse(chest.x, chest.y, L.waistR + 0.5, (L.shoulderH - L.waistH) / 2 + 2);
        // A lace panel down the front of the skirt, seen from the front and the sides.
        if (v.fy > 0.2 || std::fabs(v.fx) > 0.9) {
            std::vector<Pt> panel;
            for (int k = 0; k <= steps; ++k) {
                double t = static_cast<double>(k) / steps;
                double h = L.waistH + (L.hemH - L.waistH) * t;
                double r = L.waistR + (L.hemR - L.waistR) * std::pow(t, 1.5);
                panel.push_back(U(r * 0.8, pose.sway * t - 1.2 - 2.2 * t, h));
            }
            for (int k = steps; k >= 0; --k) {
                double t = static_cast<double>(k) / steps;
                double h = L.waistH + (L.hemH - L.waistH) * t;
                double r = L.waistR + (L.hemR - L.waistR) * std::pow(t, 1.5);
                panel.push_back(U(r * 0.8, pose.sway * t + 1.2 + 2.2 * t, h));
            }
            cv.BeginPart(L.lace);
            cv.Polygon(panel);
        }
        cv.BeginPart(L.lace);
        Pt prev{hem.x + L.hemR, hem.y};
        for (int k = 1; k <= 12; ++k) {
            double a = 3.14159265358979 * (k / 12.0);
            Pt p{hem.x + (L.hemR - 0.5) * std::cos(a), hem.y + (hemDrop - 0.5) * std::sin(a)};
            cv.Capsule(prev, p, 1.4);
            prev = p;
        }
        // Neck.
        Pt n0 = U(0, 0, L.shoulderH), n1 = U(0, 0, L.shoulderH + 5);
        cv.BeginPart(L.skin);
        cv.Capsule(n0, n1, 2.2);
    });

    // Arms and puffed sleeves; the right hand holds the mallet.
    for (int side = -1; side <= 1; side += 2) {
        Pt shoulder = U(0, side * L.shoulderW, L.shoulderH - 1);
        Pt hand;
        Pt arm0 = U(0, side * (L.shoulderW - 1), L.shoulderH - 2);
        if (pose.knocked)
            // Flung out by the blow: the free hand up, the mallet hand out to the side.
            hand = side < 0 ? U(-2, side * (L.handB + 2), L.headH - 4) : U(-1, L.handB + 4, L.handH + 2);
        else if (pose.hammer == Hammer::Carry)
            hand = side < 0 ? U(pose.leftHandForward, side * L.handB, L.handH) : U(2, L.handB, L.handH + 4);
        else {
            static const double kGrip[3][3] = {{-2, 8, 30}, {2, 10, 24}, {5, 11, 19}};
            int g = pose.hammer == Hammer::Windup ? 0 : pose.hammer == Hammer::Mid ? 1 : 2;
            hand = U(kGrip[g][0], kGrip[g][1] + side * 1.5, kGrip[g][2]);
        }
        double depth = v.Depth(1, side * 1.0);
        list.Add(depth, [=, &L](Canvas& cv) {
            cv.BeginPart(L.skin);
            cv.Capsule(arm0, hand, L.armR);
            cv.Ellipse(hand.x, hand.y, 2.6, 2.6);
            cv.BeginPart(L.lace);
            cv.Ellipse(shoulder.x, shoulder.y, L.sleeveR, L.sleeveR * 0.9);
        });
    }

    // Head: hair behind the face, the face, then the fringe, locks and crown.
    Pt headC = U(0, 0, L.headH);
    Pt faceC = U(1.0, 0, L.headH);
    list.Add(front ? 29 : 31, [&, headC](Canvas& cv) {
        Pt p = U(-2, 0, L.headH + 1);
        cv.BeginPart(L.hair);
        cv.Ellipse(p.x, p.y, L.hairRx, L.hairRy);
        (void)headC;
    });
    list.Add(30, [&, faceC](Canvas& cv) {
        cv.BeginPart(L.skin);
        cv.Ellipse(faceC.x, faceC.y, L.headRx, L.headRy);
    });
    if (front) {
        list.Add(30.5, [&, faceC](Canvas& cv) {
            cv.SetClip(faceC.x, faceC.y, L.headRx - 0.5, L.headRy - 0.5);
            const double a = L.eyeAngle * 3.14159265358979 / 180.0;
            for (int s = -1; s <= 1; s += 2) {
                double dx = v.fx * std::cos(a) + v.rx * s * std::sin(a);
                double dy = v.fy * std::cos(a) + v.ry * s * std::sin(a);
                if (dy < -0.05) continue;
                int ex = static_cast<int>(std::floor(faceC.x + dx * L.eyeSpread));
                int ey = static_cast<int>(std::floor(faceC.y + L.eyeDrop + dy * 1.0));
                if (pose.knocked) {
                    DrawClosedEye(cv, {static_cast<double>(ex), static_cast<double>(ey + 1)}, 2, dx > 0,
                                  L.eye);
                    continue;
                }
                cv.BeginFlat(L.eye, false);
                for (int yy = 0; yy < 4; ++yy)
                    for (int xx = 0; xx < 2; ++xx) cv.Pixel(ex + xx - 1, ey + yy - 1);
                cv.BeginFlat(L.white, false);
                cv.Pixel(ex - 1, ey - 1);
                if (v.fy > 0.3) {
                    cv.BeginFlat(L.blush, false);
                    int bx = dx < 0 ? ex - 2 : ex + 1;
                    cv.Pixel(bx, ey + 4);
                    cv.Pixel(bx + 1, ey + 4);
                }
            }
            cv.BeginFlat(pose.knocked ? L.eye : L.mouth, false);
            int mx = static_cast<int>(std::floor(faceC.x + v.fx * 6.0));
            int my = static_cast<int>(std::floor(faceC.y + 6.5));
            if (v.fy < 0.1 && std::fabs(v.fx) > 0.5) mx = static_cast<int>(std::floor(faceC.x + v.fx * 8.5));
            cv.Pixel(mx, my);
            if (pose.knocked) {
                cv.Pixel(mx, my + 1);
                cv.Pixel(mx - 1, my);
                cv.Pixel(mx - 1, my + 1);
            }
            cv.ClearClip();
        });
    }
    list.Add(32, [&](Canvas& cv) {
        cv.BeginPart(L.hair);
        Pt cap = U(0.5, 0, L.headH + L.fringeRise);
        cv.Ellipse(cap.x, cap.y, L.fringeRx, L.fringeRy);
        if (front) {
            // Bangs: three round tips over the brow.
            for (int k = -1; k <= 1; ++k) {
                Pt b = U(L.headRx * 0.55, k * 4.2, L.headH + L.fringeRise - L.fringeRy + 2.5);
                cv.Ellipse(b.x, b.y, 3.0, 2.6);
            }
        }
        for (int s = -1; s <= 1; s += 2) {
            // Seen from the side, the hair round the head already covers the ear.
            if (v.Depth(0.5, s * L.locksB) < -1 || std::fabs(v.fx) > 0.9) continue;
            Pt lk = U(0.5, s * L.locksB, L.headH - L.locksDrop);
            cv.Ellipse(lk.x, lk.y, L.locksRx, L.locksRy);
        }
    });
    list.Add(33, [&](Canvas& cv) {
        Pt base = U(0, 0, L.headH + L.crownRise);
        double w = L.crownW / 2, h = L.crownH;
        cv.BeginPart(L.crown);
        cv.Polygon({{base.x - w, base.y},
                    {base.x - w, base.y - h},
                    {base.x - w / 2, base.y - h * 0.45},
                    {base.x, base.y - h - 1},
                    {base.x + w / 2, base.y - h * 0.45},
                    {base.x + w, base.y - h},
                    {base.x + w, base.y}});
        if (front) {
            cv.BeginFlat(L.gem, false);
            int gx = static_cast<int>(std::floor(base.x + v.fx * 2)),
                gy = static_cast<int>(std::floor(base.y - 2));
            cv.Pixel(gx, gy);
            cv.Pixel(gx - 1, gy);
        }
    });

    // The mallet.
    const Pt cellCentre{L.groundX, L.groundY - 23};
    if (pose.hammer == Hammer::Carry || pose.hammer == Hammer::Flung) {
        Pt bottom, head;
        double depth;
        if (pose.knocked) {
            // The mallet slips: its head drops to the ground behind her.
            bottom = U(1, L.handB + 3, L.handH + 6);
            head = v.At(-10, L.handB + 10, L.headR + 1);
            depth = v.Depth(-10, L.handB + 10);
        } else {
            bottom = U(L.carry[0], L.carry[1], L.carry[2]);
            head = U(L.carry[3], L.carry[4], L.carry[5]);
            depth = v.Depth(L.carry[3], L.carry[4]);
        }
        list.Add(depth > 3 ? 40 : -45, [=, &L](Canvas& cv) { DrawMallet(cv, L, bottom, head); });
    } else {
        int fx, fy, rx, ry;
        FacingSigns(row, fx, fy, rx, ry);
        double fn = std::sqrt(static_cast<double>(fx * fx + fy * fy));
        double diag = fn > 1.1 ? 0.72 : 1.0;
        auto place = [&](Hammer h) -> Pt {
            if (h == Hammer::Windup)
                return {cellCentre.x - L.windup[0] * fx * diag + L.windup[1] * rx * diag,
                        cellCentre.y - L.windup[0] * fy * diag + L.windup[1] * ry * diag - L.windup[2]};
            if (h == Hammer::Mid)
                return {cellCentre.x - L.mid[0] * fx * diag + L.mid[1] * rx * diag,
                        cellCentre.y - L.mid[0] * fy * diag + L.mid[1] * ry * diag - L.mid[2]};
            // The hit: exactly the swing's reach on her right-hand side, a little forward.
            return {cellCentre.x + L.hit[0] * rx + L.hit[1] * fx / fn,
                    cellCentre.y + L.hit[0] * ry + L.hit[1] * fy / fn};
        };
        Pt head = place(pose.hammer);
        static const double kGrip[3][3] = {{-2, 8, 30}, {2, 10, 24}, {5, 11, 19}};
        int g = pose.hammer == Hammer::Windup ? 0 : pose.hammer == Hammer::Mid ? 1 : 2;
        Pt grip = U(kGrip[g][0], kGrip[g][1], kGrip[g][2]);
        double dx = head.x - grip.x, dy = head.y - grip.y, len = std::sqrt(dx * dx + dy * dy);
        Pt bottom{grip.x - dx / len * 5, grip.y - dy / len * 5};
        bool inFront = head.y > cellCentre.y + 2;
        Pt from = place(Hammer::Mid);
        list.Add(inFront ? 40 : -45, [=, &L](Canvas& cv) {
            if (pose.hammer == Hammer::Hit) {
                // The swoosh of the swing, from the middle of the arc to the hit.
                double a0 = std::atan2(from.y - cellCentre.y, from.x - cellCentre.x);
                double a1 = std::atan2(head.y - cellCentre.y, head.x - cellCentre.x);
                while (a1 - a0 > 3.14159265358979) a1 -= 2 * 3.14159265358979;
                while (a0 - a1 > 3.14159265358979) a1 += 2 * 3.14159265358979;
                double r0 = std::hypot(from.x - cellCentre.x, from.y - cellCentre.y);
                double r1 = std::hypot(head.x - cellCentre.x, head.y - cellCentre.y);
                cv.BeginFlat(L.swoosh, false);
                Pt prev{};
                for (int k = 0; k <= 10; ++k) {
                    double t = k / 10.0, a = a0 + (a1 - a0) * t, r = r0 + (r1 - r0) * t;
                    Pt p{cellCentre.x + r * std::cos(a), cellCentre.y + r * std::sin(a)};
                    if (k > 0) cv.Capsule(prev, p, 1.0 + 2.0 * t);
                    prev = p;
                }
            }
            DrawMallet(cv, L, bottom, head);
            if (pose.hammer == Hammer::Hit) {
                Pt spark{head.x + fx / fn * 9, head.y + fy / fn * 9};
                DrawStar(cv, spark, 3, L.spark);
            }
        });
    }
    if (pose.knocked) {
        // Stars round her head.
        list.Add(50, [&, headC](Canvas& cv) {
            DrawStar(cv, {headC.x - L.headRx - 3, headC.y - L.headRy + 1}, 2, L.daze);
            DrawStar(cv, {headC.x + L.headRx + 2, headC.y - L.headRy - 2}, 2, L.daze);
            DrawStar(cv, {headC.x - 2, headC.y - L.headRy - L.crownH - 6}, 2, L.daze);
        });
    }
    list.DrawAll(c);
}

}  // namespace

Image DrawPrincessSheet(const Palette& palette, const Params& p) {
    const Look L(palette, p);
    Rgb background = palette.Colour("key_magenta");
    p.CheckAllRead();
    return PaintSheet({12, 8, 96, 96}, background, palette.Colour("outline"),
                      [&](int col, int row, Canvas& c) {
                          Pose pose;
                          if (col == 0 || col == 1) {
                              pose.bob = col == 1 ? L.bob : 0;
                          } else if (col >= 2 && col <= 5) {
                              // Columns 2 and 5 are the long steps; 3 and 4 pass the feet, one foot lifted.
                              static const double kPhase[4] = {-1.0, -1.0 / 3, 1.0 / 3, 1.0};
                              double ph = kPhase[col - 2];
                              pose.footForward[0] = L.stride * ph;
                              pose.footForward[1] = -L.stride * ph;
                              pose.footLift[0] = col == 3 ? L.lift : 0;
                              pose.footLift[1] = col == 4 ? L.lift : 0;
                              pose.leftHandForward = -3 * ph;
                              pose.sway = 1.5 * ph;
                              pose.bob = (col == 2 || col == 5) ? L.bob : 0;
                          } else if (col >= 6 && col <= 8) {
                              pose.hammer = col == 6 ? Hammer::Windup : col == 7 ? Hammer::Mid : Hammer::Hit;
                              pose.footForward[0] = col == 8 ? 2 : -1;
                              pose.footForward[1] = col == 8 ? -1 : 1;
                          } else if (col == 11) {
                              pose.knocked = true;
                              pose.hammer = Hammer::Flung;
                              pose.footForward[0] = -2;
                              pose.footForward[1] = 1;
                              pose.footLift[1] = 1;
                          } else {
                              return false;
                          }
                          DrawPrincessCell(c, L, row, pose);
                          return true;
                      });
}

}  // namespace contentgen
