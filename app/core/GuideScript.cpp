// SPDX-License-Identifier: GPL-3.0-or-later
#include "GuideScript.h"

namespace GuideScript {

const std::vector<GuidePage>& basic()
{
    static const std::vector<GuidePage> pages{
        {"sparkles", "guide.t1", "guide.b1"},
        {"checklist", "guide.t2", "guide.b2"},
        {"square.split.2x2", "guide.t3", "guide.b3"},
        {"lock.shield", "guide.t4", "guide.b4"},
    };
    return pages;
}

const std::vector<GuidePage>& advanced()
{
    static const std::vector<GuidePage> pages{
        {"square.on.square", "guide.a1.t", "guide.a1.d"},
        {"memorychip", "guide.a2.t", "guide.a2.d"},
        {"terminal", "guide.a3.t", "guide.a3.d"},
        {"cursorarrow.click.2", "guide.a4.t", "guide.a4.d"},
    };
    return pages;
}

} // namespace GuideScript
