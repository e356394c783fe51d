#!/usr/bin/env python3
"""Checks that every export runs its body inside guarded().

An exception that leaves a C entry point ends the host, so each CVL_API function
in src/exports/*.cpp must call guarded( itself, or call a helper of its own file
that does, unless it is named in CANNOT_THROW below with the reason it cannot
throw. A name in the list that no longer exists, or that now calls guarded(, is
reported too, so the list stays short and true.

    guard_coverage.py [SRC_DIR]          prints each offence; exits 1 if any
    guard_coverage.py --list [SRC_DIR]   prints every export, guarded or bare
"""
import os
import re
import sys

# Exports left bare: their bodies only read or store engine fields, return
# constants, loop over caller pixels, or call the C library's allocator, which
# reports by null.
CANNOT_THROW = {
    # canvas_exports.cpp
    "CVL_SetLastError": "copies into the fixed last-error array",
    "CVL_GetLastError": "returns the last-error array",
    "CVL_GetVersion": "returns a constant text",
    "CVL_GetThreadCount": "reads an atomic and the hardware thread count",
    "CVL_IsDisplayChanged": "reads and clears one engine field",
    "CVL_NotifyDisplayChanged": "stores one engine field",
    "CVL_SetRandomSeed": "stores the seed in two integers",
    "CVL_SetStartDir": "copies into a fixed engine array",
    "CVL_SetScale": "stores two engine fields",
    "CVL_SetOffset": "stores two engine fields",
    "CVL_SetViewSize": "stores two engine fields",
    "CVL_GetCurrentUndoMemory": "reads one engine field",
    "CVL_SetGrid": "does nothing",
    "CVL_SetGridSpacing": "does nothing",
    "CVL_Alloc": "malloc reports failure by null",
    "CVL_Free": "free",
    "CVL_Memcpy": "memmove",
    "BankAdrs": "returns its argument",
    # brush_exports.cpp
    "CVL_SetColorVary": "stores one tool field",
    "CVL_SetAlphaLocked": "stores one tool field",
    "CVL_SetColorLocked": "stores one tool field",
    "CVL_SetBlobLocked": "stores one tool field",
    "CVL_SetAlphaLevel": "stores one tool field",
    "CVL_SetImageBrushMode": "stores one tool field",
    "CVL_SetSolidBrushMode": "stores one tool field",
    "CVL_SetTracingMode": "stores one engine field",
    "CVL_DecDrawingLength": "decrements one engine field",
    "CVL_TempDisableBlend": "stores one tool field",
    "CVL_SetEraseModeOn": "stores one tool field",
    "CVL_SetMaskMakerOn": "stores one tool field",
    "CVL_SetColor": "stores the paint colour",
    "CVL_SetColor16": "stores the paint colour",
    "CVL_SetColorBanks": "stores four colours",
    "CVL_SetBlendStrength": "stores two tool fields",
    "CVL_SetBlendPrimaryColorStrength": "stores two tool fields",
    "CVL_SetBlendRemix": "stores one tool field",
    "CVL_SetDensity": "stores one tool field",
    "CVL_SetAlpha": "stores two tool fields",
    "CVL_SetRotateBrushMode": "stores the angle and its sine and cosine",
    "CVL_SetMixMode": "stores four tool fields",
    "CVL_SetSize": "stores the size and fills the fixed scale table",
    "CVL_SetScaleSize": "fills the fixed scale table",
    # ipl_buffer_exports.cpp
    "CVL_IPLInit": "does nothing",
    "CVL_IPLExit": "does nothing",
    # ipl_geometry_exports.cpp
    "CVL_IPLResizeFilterName": "returns a name from a constant table",
    # colour_exports.cpp
    "CVL_ProcessBuffer_HSVAdjust": "a pixel loop over the caller's buffer",
    "CVL_ProcessBuffer_HSLAdjust": "a pixel loop over the caller's buffer",
    # file_exports.cpp
    "CVL_GetNewRGBAWidth": "reads one field",
    "CVL_GetNewRGBAHeight": "reads one field",
    # host_callback_exports.cpp
    "CVL_SetHostCallbacks": "copies the host's table into a fixed one",
    # layer_exports.cpp
    "CVL_SwapLayers": "swaps two slots; their pixel stores move without allocating",
    "CVL_GetLayerCount": "counts the slots holding pixels",
    "CVL_GetLayerNum": "reads one engine field",
    # lua_exports.cpp
    "CVL_SetLuaSandbox": "stores one flag",
    # mask_exports.cpp
    "CVL_EnableMask": "stores one engine field",
    "CVL_DisplayMask": "stores one field",
    "CVL_SetMaskOptions": "stores the two display colours",
    # undo_exports.cpp
    "CVL_CanUndo": "reads the history's counters",
    "CVL_CanRedo": "reads the history's counters",
    "CVL_GetRedoCount": "reads the history's counters",
    "CVL_GetUndoCount": "counts the records holding data",
    "CVL_PauseUndo": "stores one flag",
    "CVL_ResumeUndo": "stores one flag",
    # tablet_exports.cpp
    "CVL_ReadTabletPressure": "reads the last packet batch",
    "CVL_ReadRawTabletPressure": "reads the last packet batch",
    "CVL_IsPacketInvert": "reads the last packet batch",
    "CVL_PacketStatus": "reads the last packet batch",
    "CVL_ReadTabletX": "reads the last packet batch",
    "CVL_ReadTabletY": "reads the last packet batch",
    # spline_exports.cpp
    "CVL_GetSplinePointCount": "reads the last curve",
    "CVL_GetSplinePointX": "reads the last curve",
    "CVL_GetSplinePointY": "reads the last curve",
    # effect_exports.cpp
    "CVL_IPLEffectInfo": "reads the constant effect table",
}

EXPORT = re.compile(r"^CVL_API\b[^(]*?\bCVL_CALL\s+(\w+)\s*\(", re.M)
HELPER = re.compile(r"^[A-Za-z_][\w:<>*& ]*?\b(\w+)\s*\([^;{]*\)\s*(?:const\s*)?\{", re.M)


def closing(text, at, open_char, close_char):
    """The index just past the bracket that closes the first open_char at or after at."""
    depth = 0
    for i in range(text.index(open_char, at), len(text)):
        if text[i] == open_char:
            depth += 1
        elif text[i] == close_char:
            depth -= 1
            if depth == 0:
                return i + 1
    raise ValueError(f"unbalanced {open_char}{close_char}")


def body_at(text, start):
    """The text between the first '{' at or after start and its matching '}'."""
    return text[text.index("{", start) + 1:closing(text, start, "{", "}") - 1]


def params_end(text, open_paren):
    return closing(text, open_paren, "(", ")")


def exports(src):
    """Yields (file, export name, guarded) for every export under src/exports."""
    folder = os.path.join(src, "exports")
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".cpp"):
            continue
        with open(os.path.join(folder, name), encoding="utf-8") as f:
            text = f.read()
        export_names = set(EXPORT.findall(text))
        declared = len(re.findall(r"^CVL_API\b", text, re.M))
        if declared != len(EXPORT.findall(text)):
            raise SystemExit("%s: %d CVL_API lines but %d exports read" % (name, declared, len(export_names)))
        helpers = set()
        for m in HELPER.finditer(text):
            if m.group(1) not in export_names and "guarded(" in body_at(text, m.end() - 1):
                helpers.add(m.group(1))
        for m in EXPORT.finditer(text):
            body = body_at(text, params_end(text, m.end() - 1))
            guarded = "guarded(" in body or any(re.search(r"\b%s\s*\(" % h, body) for h in helpers)
            yield name, m.group(1), guarded


def main(argv):
    listing = "--list" in argv
    args = [a for a in argv if a != "--list"]
    src = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src")
    found = list(exports(src))
    if listing:
        for file, name, guarded in found:
            print("%-28s %-44s %s" % (file, name, "guarded" if guarded else "bare"))
        print("%d exports, %d guarded, %d bare" % (len(found), sum(g for _, _, g in found),
                                                     sum(not g for _, _, g in found)))
        return 0
    problems = []
    names = set()
    for file, name, guarded in found:
        names.add(name)
        if not guarded and name not in CANNOT_THROW:
            problems.append("%s: %s runs outside guarded()" % (file, name))
        if guarded and name in CANNOT_THROW:
            problems.append("%s: %s is guarded; take it off the cannot-throw list" % (file, name))
    for name in sorted(set(CANNOT_THROW) - names):
        problems.append("%s is on the cannot-throw list but is no export" % name)
    for p in problems:
        print(p)
    if not found:
        print("no exports found under %s" % src)
        return 1
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
