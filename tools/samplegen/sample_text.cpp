#include "tools/samplegen/sample_text.h"

#include <iterator>

namespace {

struct CSamplePage {
    const char* m_pszName;
    const char* m_pszText;
};

const CSamplePage kGuide[] = {
    {"Welcome",
     "Welcome to \"Moving House\", a short guide for anyone who keeps compiled e-books.\n"
     "\n"
     "A compiled e-book is a single program file. Open it and it shows you its pages; "
     "copy it and the whole book goes along. This guide explains what happens when such "
     "a book is moved to a newer viewer, and why you need not be afraid of it.\n"},
    {"What an e-book file holds",
     "Every compiled e-book has two parts in one file.\n"
     "\n"
     "The front part is the viewer: the program that draws the window, the list of pages "
     "and the text. The back part is the book itself: its pages, its settings and a few "
     "small tables, packed one after another and closed by a short marker at the very end "
     "of the file. The viewer finds its book by reading that marker.\n"},
    {"Why books grow old",
     "The pages of a book do not age, but its viewer does. New systems arrive, old "
     "programs start to look out of place, and a viewer that was modern once becomes the "
     "reason a good book is left unread.\n"
     "\n"
     "Writing the book again would be a waste. Its pages are fine; only the front part "
     "needs replacing.\n"},
    {"Upgrading with Tomeshift",
     "Tomeshift carries a newer viewer inside itself. Give it the path of an old book and "
     "it does four things:\n"
     "\n"
     "1. It writes the new viewer beside the book, under the book's name with \"_new\".\n"
     "2. It moves the book's pages and tables behind that new viewer.\n"
     "3. It gives the new file the old book's own icon.\n"
     "4. It swaps the two files, so the upgraded book takes the old one's place.\n"},
    {"Keeping the backup",
     "Nothing is thrown away. The old book stays beside the new one with \".bak\" added "
     "to its name. If anything about the upgrade displeases you, delete the new book and "
     "take \".bak\" off the old one's name: you are back where you started.\n"},
    {"Questions and answers",
     "Will my bookmarks and settings survive? Yes: they travel with the pages.\n"
     "\n"
     "Can I upgrade the same book twice? You can; the second run replaces the backup "
     "with the first upgrade.\n"
     "\n"
     "What if the file is not an e-book? Tomeshift says so and leaves it untouched.\n"},
};

constexpr int kGuidePages = static_cast<int>(std::size(kGuide));

}  // namespace

std::string SamplePageName(int number)
{
    if (number < kGuidePages)
        return kGuide[number].m_pszName;
    return "Notes, part " + std::to_string(number - kGuidePages + 1);
}

std::string SamplePageText(int number)
{
    if (number < kGuidePages)
        return kGuide[number].m_pszText;
    return "Room for your own notes on the upgrade, part " + std::to_string(number - kGuidePages + 1) + ".\n";
}
