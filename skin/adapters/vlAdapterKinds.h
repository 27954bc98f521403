#pragma once
// The control kinds that have window adapters (vlAdapters.h), by the index
// of the ThirdParty list that names a window's class.

namespace skin {

inline constexpr int tpEdit = 0;
inline constexpr int tpComboBox = 4;
inline constexpr int tpGrid = 5;
inline constexpr int tpListView = 7;
inline constexpr int tpTreeView = 9;
inline constexpr int tpWWEdit = 10;
inline constexpr int tpGridEh = 11;
inline constexpr int tpVirtualTree = 12;
inline constexpr int tpScrollBar = 20;
inline constexpr int tpGroupBox = 6;
inline constexpr int tpPanel = 8;
inline constexpr int tpScrollControl = 18;
inline constexpr int tpStaticText = 21;
inline constexpr int tpNativePaint = 22;
inline constexpr int tpBitBtn = 2;
inline constexpr int tpCheckBox = 3;
inline constexpr int tpSpeedButton = 17;
inline constexpr int tpUpDown = 19;
inline constexpr int tpPageControl = 13;
inline constexpr int tpTabControl = 14;
inline constexpr int tpToolBar = 15;
inline constexpr int tpStatusBar = 16;

} // namespace skin
