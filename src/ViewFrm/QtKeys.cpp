#include "ViewFrm/QtKeys.h"

namespace duoptic {

MainKey mainKey(int key, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return MainKey::Enter;
    case Qt::Key_Space:
        return MainKey::Space;
    case Qt::Key_Escape:
        return MainKey::Escape;
    case Qt::Key_Left:
        return MainKey::Left;
    case Qt::Key_Right:
        return MainKey::Right;
    case Qt::Key_Up:
        return MainKey::Up;
    case Qt::Key_Down:
        return MainKey::Down;
    case Qt::Key_Backspace:
        return MainKey::Backspace;
    case Qt::Key_PageUp:
        return MainKey::PageUp;
    case Qt::Key_PageDown:
        return MainKey::PageDown;
    case Qt::Key_Home:
        return MainKey::Home;
    case Qt::Key_End:
        return MainKey::End;
    case Qt::Key_F11:
        return MainKey::F11;
    case Qt::Key_D:
        return MainKey::D;
    case Qt::Key_I:
        return MainKey::I;
    case Qt::Key_J:
        return MainKey::J;
    case Qt::Key_K:
        return MainKey::K;
    case Qt::Key_L:
        return MainKey::L;
    case Qt::Key_O:
        return MainKey::O;
    case Qt::Key_A:
        return MainKey::A;
    case Qt::Key_S:
        return MainKey::S;
    case Qt::Key_BracketLeft:
        return MainKey::LeftBracket;
    case Qt::Key_BracketRight:
        return MainKey::RightBracket;
    case Qt::Key_C:
        return MainKey::C;
    case Qt::Key_W:
        return MainKey::W;
    case Qt::Key_P:
        return MainKey::P;
    case Qt::Key_E:
        return MainKey::E;
    case Qt::Key_F:
        return MainKey::F;
    case Qt::Key_Delete:
        return MainKey::Delete;
    case Qt::Key_Plus:
        return keypad ? MainKey::KeypadPlus : MainKey::Other;
    case Qt::Key_Minus:
        return keypad ? MainKey::KeypadMinus : MainKey::Other;
    default:
        return MainKey::Other;
    }
}

} // namespace duoptic
