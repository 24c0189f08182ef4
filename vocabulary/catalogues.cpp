#include "vocabulary/catalogues.h"

const CodeName MediaButtons[14] = {
    {L"", 0x00},           {L"Previous", 0x16}, {L"Next", 0x15},      {L"Voice", 0x19},
    {L"Phone", 0x1C},      {L"View", 0x23},     {L"Up", 0x04},        {L"Down", 0x05},
    {L"Prev. Scr.", 0x03}, {L"Next Scr.", 0x02}, {L"OK", 0x07},       {L"Vol. up", 0x10},
    {L"Vol. down", 0x11},  {L"Mode", 0x0C},
};

// Gear codes have no names; they are shown and typed as numbers.
const CodeName GearButtons[1] = {{L"", 0x00}};

// The spaces around the word are part of the name.
const CodeName HornButtons[2] = {{L"", 0x00}, {L" Horn ", 0x01}};

const CodeName AccButtons[8] = {
    {L"", 0x0000},     {L"On/Off", 0x0010}, {L"Cancel", 0x0020}, {L"Mode", 0x0080},
    {L"Set", 0x0100},  {L"Plus", 0x0200},   {L"Minus", 0x0400},  {L"Res", 0x0800},
};

// U+2126 OHM SIGN, not the Greek capital omega.
const CodeName ResistorsA[16] = {
    {L"", 0x0000},            {L"1.2 k\u2126", 0x0001}, {L"2.2 k\u2126", 0x0002}, {L"3.9 k\u2126", 0x0004},
    {L"4.7 k\u2126", 0x0008}, {L"5.6 k\u2126", 0x0010}, {L"6.8 k\u2126", 0x0020}, {L"8.2 k\u2126", 0x0040},
    {L"12 k\u2126", 0x0080},  {L"15 k\u2126", 0x0100},  {L"24 k\u2126", 0x0200},  {L"33 k\u2126", 0x0400},
    {L"51 k\u2126", 0x0800},  {L"68 k\u2126", 0x1000},  {L"100 k\u2126", 0x2000}, {L"22 \u2126", 0x4000},
};

const CodeName ResistorsB[2] = {{L"", 0x0000}, {L"22 \u2126", 0x8000}};

std::span<const CodeName> ButtonCatalogue(std::uint32_t table) {
    switch (table) {
    case Media: return MediaButtons;
    case Gears: return GearButtons;
    case Horn: return HornButtons;
    case Acc: return AccButtons;
    default: return {};
    }
}

std::span<const CodeName> ResistorCatalogue(ResistorOutput output) {
    if (output == ResistorOutput::Ra) return ResistorsA;
    return ResistorsB;
}
