#pragma once

namespace duoptic {

// Zoom step of one wheel event: 120 a notch gives 4. Remainders are lost, not accumulated.
int wheelZoomStep(int delta);

// The range that the zoom and position controls hold.
int clampPosition(int position);

enum class MainKey {
    Enter,
    Space,
    Escape,
    Left,
    Right,
    Up,
    Down,
    KeypadPlus,
    KeypadMinus,
    Backspace,
    PageUp,
    PageDown,
    Home,
    End,
    F11,
    D, // the letter key, with or without Shift
    // Letters, with or without Shift: the right eye up, left, down and right (I, J, K, L, laid
    // out as the arrows), its reset (O) and the automatic alignment (A).
    I,
    J,
    K,
    L,
    O,
    A,
    S, // Save As
    // The right eye's turn ([ anticlockwise, ] clockwise), the crop to the area both eyes cover
    // (C), the automatic stereo window (W) and the depth budget (P).
    LeftBracket,
    RightBracket,
    C,
    W,
    P,
    E,      // the overlay of what the camera recorded
    F,      // actual size
    Delete, // the pair to the trash
    Other
};

struct KeyContext {
    bool slideShowRunning = false;
    int pairCount = 0;
    int horizontal = 50; // 0..100
    int vertical = 50;   // 0..100
    bool fullScreen = false;
};

struct KeyAction {
    enum Kind {
        None,
        Next,
        Previous,
        First,
        Last,
        StopSlideShow,
        ToggleFullScreen,
        SetHorizontal,
        SetVertical,
        ZoomIn,
        ZoomOut,
        NextDisplayMode,
        MoveRightEye, // by (value, dy) image pixels
        ResetRightEye,
        ToggleAutoAlign,
        SaveAs,
        TurnRightEye, // by value steps: -1 anticlockwise, 1 clockwise
        ToggleCropCommon,
        ToggleAutoWindow,
        ToggleDepth,
        ToggleCameraData,
        ToggleActualSize,
        MoveToTrash
    } kind = None;
    int value = 0; // the new position for SetHorizontal and SetVertical
    int dy = 0;
};

// What a key press on the main window does. Every key press is consumed, mapped or not.
KeyAction mapKey(MainKey key, const KeyContext& context);

} // namespace duoptic
