// The seven starting layouts as pictures of the playfield.
#include "model/Layouts.h"

const std::array<LayoutPicture, kLayoutCount> kLayoutPictures = {{
    // FullBoard
    {"--PPP--", "--PPP--", "PPPPPPP", "PPPoPPP", "PPPPPPP", "--PPP--", "--PPP--"},
    // LatinCross
    {"--ooo--", "--oPo--", "ooPPPoo", "oooPooo", "oooPooo", "--ooo--", "--ooo--"},
    // GreekCross
    {"--ooo--", "--oPo--", "oooPooo", "oPPPPPo", "oooPooo", "--oPo--", "--ooo--"},
    // Fireplace
    {"--PPP--", "--PPP--", "ooPPPoo", "ooPoPoo", "ooooooo", "--ooo--", "--ooo--"},
    // Lamp
    {"--oPo--", "--PPP--", "oPPPPPo", "oooPooo", "oooPooo", "--PPP--", "--PPP--"},
    // TurnedSquare
    {"--oPo--", "--PPP--", "oPPPPPo", "PPPoPPP", "oPPPPPo", "--PPP--", "--oPo--"},
    // Pyramid
    {"--ooo--", "--oPo--", "ooPPPoo", "oPPPPPo", "PPPPPPP", "--ooo--", "--ooo--"},
}};
