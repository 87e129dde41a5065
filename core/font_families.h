#pragma once

// The families each face of the window description stands for, first choice
// first. The named Chinese faces belong to the platform, not to Tavrel, so
// each list goes on with the faces that stand in for it elsewhere; a
// front-end asks for the first family of the list that is installed.
//
// Windows names come first (the Chinese name, then the English one: font
// enumeration reports either, by the system's language), then free faces
// found on Linux desktops, the ones Tavrel's packages install among them,
// again by both names where the face has a Chinese one.

#include "core/form1_description.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace tavrel::core {

using FamilyName = std::u16string_view;

template<std::size_t N, std::size_t M>
constexpr std::array<FamilyName, N + M> joinedFamilies(const std::array<FamilyName, N> &first,
                                                       const std::array<FamilyName, M> &then)
{
    std::array<FamilyName, N + M> all{};
    std::copy(first.begin(), first.end(), all.begin());
    std::copy(then.begin(), then.end(), all.begin() + N);
    return all;
}

inline constexpr std::array<FamilyName, 9> songFamilies{u"宋体",
                                                        u"SimSun",
                                                        u"AR PL SungtiL GB",
                                                        u"文鼎ＰＬ简报宋",
                                                        u"Noto Serif CJK SC",
                                                        u"AR PL UMing CN",
                                                        u"Noto Sans CJK SC",
                                                        u"WenQuanYi Micro Hei",
                                                        u"文泉驿微米黑"};

inline constexpr std::array<FamilyName, 7> heiFamilies{u"黑体",
                                                       u"SimHei",
                                                       u"WenQuanYi Micro Hei",
                                                       u"文泉驿微米黑",
                                                       u"WenQuanYi Zen Hei",
                                                       u"Noto Sans CJK SC",
                                                       u"Microsoft YaHei"};

// 华文新魏 comes only with some office suites; a Kai face is the nearest.
// The Song faces follow, so a machine without any Kai face still draws
// Chinese.
inline constexpr auto xinweiFamilies = joinedFamilies(
    std::array<FamilyName, 8>{u"华文新魏", u"STXinwei", u"LXGW WenKai", u"AR PL KaitiM GB",
                              u"文鼎ＰＬ简中楷", u"AR PL UKai CN", u"KaiTi", u"楷体"},
    songFamilies);

// For the controls with no font of their own: the platform's default face
// where it covers Chinese, else a plain Hei.
inline constexpr auto defaultFamilies = joinedFamilies(
    std::array<FamilyName, 5>{u"Microsoft YaHei", u"微软雅黑", u"WenQuanYi Micro Hei",
                              u"Noto Sans CJK SC", u"SimSun"},
    heiFamilies);

constexpr std::span<const FamilyName> familiesFor(Face face)
{
    switch (face) {
    case Face::Song:
        return songFamilies;
    case Face::Hei:
        return heiFamilies;
    case Face::Xinwei:
        return xinweiFamilies;
    case Face::Default:
        break;
    }
    return defaultFamilies;
}

} // namespace tavrel::core
