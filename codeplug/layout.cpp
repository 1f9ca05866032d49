#include "codeplug/layout.h"

#include <initializer_list>
#include <utility>

namespace {

using Row = std::pair<int, quint16>;

// Values shared by both radio types; unnamed entries stay 0.
const std::initializer_list<Row> commonRows = {
    // zone table
    { 0, 74 },
    { 1, 652 },
    { 2, 13 },
    { 3, 80 },
    { 4, 0 },
    { 5, 32 },
    { 6, 36 },
    { 7, 48 },
    { 8, 250 },
    // microphone, VOX and buttons
    { 20, 4 },
    { 21, 656 },
    { 22, 813 },
    { 23, 814 },
    { 24, 4 },
    { 25, 892 },
    { 26, 893 },
    { 27, 894 },
    { 28, 895 },
    { 29, 896 },
    { 30, 897 },
    { 31, 898 },
    { 32, 899 },
    { 33, 918 },
    { 34, 919 },
    // basic settings
    { 35, 4 },
    { 36, 562 },
    { 37, 556 },
    { 38, 688 },
    { 39, 689 },
    { 40, 654 },
    { 41, 685 },
    { 42, 680 },
    { 43, 681 },
    { 44, 691 },
    { 45, 690 },
    { 46, 695 },
    { 47, 696 },
    // encryption keys
    { 48, 4 },
    { 49, 1054 },
    { 50, 1084 },
    { 51, 16 },
    { 52, 1100 },
    { 53, 24 },
    // contacts
    { 54, 6 },
    { 55, 142 },
    { 56, 7 },
    { 57, 140 },
    { 58, 32 },
    { 59, 176 },
    { 60, 172 },
    { 61, 177 },
    { 62, 44 },
    // receive groups
    { 69, 41 },
    { 70, 364 },
    { 71, 366 },
    { 72, 28 },
    { 73, 1456 },
    { 74, 32 },
    { 75, 1452 },
    { 76, 1488 },
    { 77, 100 },
    // channel table
    { 78, 43 },
    { 80, 140 },
    { 81, 32 },
    { 82, 58 },
    { 84, 32 },
    { 85, 4 },
    { 86, 2 },
    { 87, 1420 },
    { 88, 0 },
    { 89, 4 },
    { 90, 8 },
    { 91, 0x02 },
    { 92, 0x80 },
    { 93, 8 },
    { 94, 0x0C },
    { 95, 9 },
    { 96, 0x40 },
    { 97, 9 },
    { 98, 0x08 },
    { 99, 27 },
    { 100, 0x03 },
    { 101, 0x0C },
    { 102, 16 },
    { 103, 18 },
    { 105, 9 },
    { 106, 0x80 },
    { 107, 8 },
    { 108, 0x01 },
    { 110, 17 },
    { 113, 8 },
    { 114, 0x00 },
    { 115, 8 },
    { 116, 0x01 },
    { 117, 21 },
    { 118, 23 },
    { 119, 25 },
    { 120, 9 },
    { 121, 0x00 },
    { 122, 9 },
    { 123, 0x01 },
    { 124, 9 },
    { 125, 0x02 },
    { 126, 24 },
    // channel directory
    { 128, 42 },
    { 129, 142 },
    { 130, 144 },
    // GPS and man-down
    { 132, 700 },
    { 133, 0x08 },
    { 134, 710 },
    { 135, 0x01 },
    { 136, 708 },
    { 139, 828 },
    { 140, 0x01 },
    { 141, 829 },
    { 142, 830 },
    { 143, 831 },
    { 144, 828 },
    { 145, 0x30 },
    { 146, 828 },
    { 147, 0x02 },
    // digital emergency system
    { 148, 122 },
    { 150, 76 },
    { 152, 78 },
};

// KR4700: the button functions move, the power flag moves to record byte 10.
const std::initializer_list<Row> type1Rows = {
    { 27, 900 },
    { 28, 901 },
    { 29, 902 },
    { 30, 903 },
    { 31, 904 },
    { 32, 905 },
    { 33, 906 },
    { 34, 907 },
    { 105, 10 },
    { 106, 0xC0 },
};

} // namespace

Layout layoutFor(int radioType)
{
    Layout layout {};
    for (const Row &row : commonRows)
        layout[row.first] = row.second;
    if (radioType == 1) {
        for (const Row &row : type1Rows)
            layout[row.first] = row.second;
    }
    return layout;
}
