#include "ui/WizardPage.h"

#include <QStringList>

namespace pictorant {

QString pageCaption(WizardPage page) {
    static const char* const captions[] = {"Input File Selection", "Ouput File Options",
                                           "Thumbnail Options", "Confirm Selections",
                                           "Processing..."};
    return QString::fromLatin1(captions[int(page)]);
}

QString pageHint(WizardPage page) {
    static const QStringList hints[] = {
        {"Input File Selection", "", "  First select the processing option:",
         "    - Create Thumbnails", "    - Rename, Copy, or Convert Files", "",
         "  Next select the files for processing by using the left pane to navigate to the "
         "desired folder.",
         "", "  Then, Hilite the files for processing in the right pane.", "",
         "  When ready, click the Next button."},
        {"Output File Options", "",
         "  If you chose Rename/Copy/Convert on the previous page, you must now decide if you "
         "want to just Rename the selected files or Copy with an optional Conversion.",
         "", "  Use the left pane to navigate to the Output directory.", "",
         "  Choose the file type for the ouput files (not available for rename).  With No "
         "Conversion, WebP, TIFF and HEIC pictures are written as png.",
         "", "  Choose the output file name option.", "",
         "  Modify the Prefix and sequence number for new files if desired.", "",
         "  When ready, click the Next button."},
        {"Thumbnail Options", "",
         "  Choose the resize speed for the new thumbnails.  This really refers to the quality "
         "of the thumbnail images, and I recommend using the default of Quality resize.",
         "", "  Choose the thumbnail image size."},
        {"Confirm Selections", "", "  Review all information to make sure it's correct.", "",
         "  If you're converting files to jpg, choose the Jpeg compression.  A higher number "
         "means higher quality images at the expense of larger file sizes.",
         "",
         "  If you're not renaming files, decide if you want same-named files in the target "
         "directory to be overwritten.",
         "", "  When everything is ready, click GO."},
        {"The selected files are now being processed.  You can press Cancel at any time during "
         "the operation.",
         "",
         "When processing is complete, you can create a HTML file, or click the OK button to go "
         "back to the beginning screen."},
    };
    return hints[int(page)].join(u'\n');
}

} // namespace pictorant
