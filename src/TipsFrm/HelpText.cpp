#include "TipsFrm/HelpText.h"

namespace duoptic {

namespace {

// Blanks at either end of a line are part of the text; so are its spelling slips.
constexpr char kHelpText[] = "\r\n"
                             "\r\n"
                             "(1) Required image files\r\n"
                             "   Prepare a pair of jpeg files taken as stereo photos.\r\n"
                             "\r\n"
                             "(2) Naming of image files\r\n"
                             "   Rename each of them as xxx_DUL.jpg for left eye sight, \r\n"
                             "   and xxx_DUR.jpg for right. (xxx is any base name.) \r\n"
                             "   Then the base name will appear on the filer list.\r\n"
                             "\r\n"
                             "(3) Viewer mode (see figure below.)\r\n"
                             "   Specify either parallel or crossing mode. \r\n"
                             "   You can obtain 3D image with naked eyes if practiced.\r\n"
                             "   However, my recommendation is to use mirror-in viewer.\r\n"
                             "\r\n"
                             "(4) Mouse operation (applicable on images)\r\n"
                             "  a) Drag with left button\r\n"
                             "   * to shift image.\r\n"
                             "   * same effect as sliding bars at left and bottom.\r\n"
                             "  b) Click right button \r\n"
                             "   * to pop-up menu\r\n"
                             "   [open]\r\n"
                             "     Open filer form.\r\n"
                             "   [reverse]\r\n"
                             "     Exchange the images between left and right.\r\n"
                             "   [zoom in]\r\n"
                             "     Enlarge the present view, same as bottom slider.\r\n"
                             "   [zoom out]\r\n"
                             "     Reduce the present view, same as bottom slider.\r\n"
                             "   [center border]\r\n"
                             "     Adjust the center border width.\r\n"
                             "   [slide show]\r\n"
                             "    Display all the images on a folder at preset intervals.\r\n"
                             "   [next]\r\n"
                             "    Load the next file.\r\n"
                             "   [tips]\r\n"
                             "    Show this form.\r\n"
                             "\r\n"
                             "(5) Key operation\r\n"
                             "  a) cursor keys - to shift image.\r\n"
                             "  b) + - key     - to zoom in nd out.\r\n"
                             "  c) space key   - to open next image in the folder.\r\n"
                             "\r\n"
                             "(6) Fitting mode of loaded images\r\n"
                             "  Two ways are available, to fit images on the screen.\r\n"
                             "  [Image width]\r\n"
                             "   Fit full width of an image into the present form. \r\n"
                             "  [Form size]\r\n"
                             "   Fit an images to fill whole the present form.\r\n";

} // namespace

const QString& tipsHelpText() {
    static const QString text = QString::fromLatin1(kHelpText, sizeof kHelpText - 1);
    return text;
}

} // namespace duoptic
