#pragma once

#include <string>

// What each command says of itself while help mode is on.
namespace quillory::help {

inline const std::u16string kSaveProject =
    u"Save Project..\n\nSimply saves your project to disk. In this case to..\n\n";
inline const std::u16string kOpenProject =
    u"Open Project..\n\nOpens an existing Quillory Project folder.\n\nAll projects are stored in folders rather "
    u"than a single file so when, for example, you create a new project called `MyProject`, a folder called "
    u"MyProject.qlyp.dir will be created rather than a file.";
inline const std::u16string kRelocateProject =
    u"Relocate Project..\n\nBasically the same as Save As. Allows you to save the current project to a different "
    u"location.\n\nYou will first be asked to select a folder to store the project to followed by the name for "
    u"the project. Don`t worry about the extension as that will be added automatically.\n\nOnce saved this will "
    u"then become the default project that will be opened evertime Quillory runs.";
inline const std::u16string kNewProject =
    u"New Project..\n\nAllows you to create a new project.\n\nYou will first be asked to select a folder to store "
    u"the new project to followed by the name for the project. Don`t worry about the extension as that will be "
    u"added automatically.\n\nOnce created this will then become the default project that will be opened "
    u"evertime Quillory runs.";
inline const std::u16string kAutosave =
    u"AutoSave..\n\nAutomatically saves your project instead of promting you to save.";
inline const std::u16string kExit =
    u"Exit..\n\nCompletely exits Quillory rather than minimising to the system tray as clicking the close button "
    u"does.";
inline const std::u16string kAddItem =
    u"Add Item..\n\nAdds a new item to your project which will appear in the list on the left.\n\nList items can be "
    u"relocated by simply moving them up or down by dragging them with the mouse.";
inline const std::u16string kDeleteItem =
    u"Delete Item..\n\nRemoves the selected item from your project.\n\nThis will not be permanent until you `Save "
    u"your Changes`";
inline const std::u16string kFind =
    u"Find..\n\nFinds a word in the page displayed. Type it into the find bar under the page and every place it "
    u"appears is highlighted, with how many there are. Enter goes to the next one, Shift+Enter back to the previous "
    u"one, and Escape closes the bar.\n\nHighlighting a word never changes your page.";
inline const std::u16string kSearchPages =
    u"Search All Pages..\n\nFinds the items whose name or text holds every word you type into the search box "
    u"above the list, best first, with a little of the text around the first match under each name. Press Enter or "
    u"click one to display it.\n\nThe list itself keeps its order, and F1 - F9 still copy its first nine items. "
    u"Escape brings the whole list back.";
inline const std::u16string kRenameItem = u"Rename Item..\n\nRename the selected item, simple as that :)";
inline const std::u16string kMoveItem =
    u"Move Item Up / Move Item Down..\n\nMoves the selected item one place up or down the list, just as "
    u"dragging it with the mouse does.\n\nWith the item list focused, Alt+Up and Alt+Down do the same, so the "
    u"whole list can be put in order without touching the mouse.";
inline const std::u16string kOverview =
    u"The Hotkey controls are..\n\nCtrl-F1 = Displays Quillory on the Desktop\nCtrl-F2 = Moves up the item "
    u"list\nCtrl-F3 = Moves down the item list\nCtrl-F4 = Copies the entire page displayed to the "
    u"clipboard\nCtrl-F5 = Minimises Quillory back to the system tray\n\nHoykeys are system wide key "
    u"combinations that work regardless of which app is running so, writing an email where you wish to include "
    u"a frequently used reply you could simply select Ctrl-F1 to open Quillory, Ctrl-F2/3 to navigate to the "
    u"desired page/item and then Ctrl-F4 to dump it into the clipboard where you can then simply paste it into "
    u"your email.";
// The copy's text wraps the overview, which names the keys as bound in the session.
inline const std::u16string kCopyToClipboardIntro =
    u"Copy to Clipboard..\n\nCopies the entire page displayed to the clipboard where it can then be pasted into "
    u"any other programme such as email, word processor, facebook, or whatever destination you like.\n\nYou can "
    u"also use the hoykey combo Ctrl-F4 no matter what application currently has focus or even if Quillory has "
    u"been shrunk to the system tray.\n\n";
inline const std::u16string kCopyToClipboardOutro =
    u"\n\nSee `Enable Function Key Copy` from the Options menu for even more fascinating possibilities \u263A";
inline const std::u16string kCopyToClipboard = kCopyToClipboardIntro + kOverview + kCopyToClipboardOutro;
inline const std::u16string kStartWithWindows =
    u"Start with Windows..\n\nIf selected, Quillory will start evertime Windows starts.\n\nTo get the best from "
    u"Quillory I recommend that have this item ticked along with `Start in System Tray` as then it will be there "
    u"at your beck and call able to assist at a moments notice \u263A";
inline const std::u16string kStartInTray =
    u"Start in System Tray..\n\nIf selected, Quillory will start in the system tray, i.e. invisible.\n\nYou can "
    u"then `open` Quillory by simply using the hotkey Ctrl-F1 or by double-clicking the tray icon.";
inline const std::u16string kStayOnTop = u"Stay on Top..\n\nKeeps Quillory`s window on top of all others.";
inline const std::u16string kMinimiseAfterCopy =
    u"Minimise after Copy..\n\nIf selected, sends Quillory packing back to the system tray after you perform a "
    u"`Copy to Clipboard` using either Ctrl-F4, the `Copy Item to Clipboard` menu item or the toolbar icon.";
inline const std::u16string kFunctionKeyCopy =
    u"Enable Function Key Copy..\n\nIf selected then the first nine items in your item list can be instantly "
    u"copied to the system clipboard by simply pressing F1 through to F9 respectively.\n\nThere is no need to "
    u"have the desired page displayed although unlike the hotkeys, Quillory does need to have focus.\n\nFor "
    u"example, if you have a frequently used document stored as item three in your list then simply selecting "
    u"Ctrl-F1 and then F3 (on its own) would immediately display Quillory and copy the contents of item/page 3 "
    u"to the clipboard.\n\nAnd if `Minimise after Copy` is checked, Quillory would then instantly vanish again.";
inline const std::u16string kReminderSetup =
    u"Reminder Setup..\n\nTo have Quillory pop up and remind you of any of the items in your project simply add "
    u"the following text to any page.\n\nReminder{yyyymmdd-hhmm}\n\nFor example, a page with the text "
    u"Reminder{20160725-1500} somewhere in it will cause Quillory to pop up with a reminder of that page on or "
    u"after (if you haven`t yet viewed it), the 25th of July, 2016 at 15:00\n\nYou can also add an optional "
    u"label using the square brackets such as\n\nReminder{20160725-1500}[Call the dentist about Tuesday]\n\nAfter "
    u"you have acknowledged the event the {} will be replaced with [] so the event is no longer triggered.\n\nYou "
    u"can use as many of these Reminder{} tags per page as you like if you wish to be reminded multiple times. "
    u"This way you could create a dedicated page full of various reminders.\n\nP.S. Syntax is important so "
    u"create exactly as described here \u263A";

inline const std::u16string kHighlightWebLinks =
    u"Highlight Web Links..\n\nSearches through the current page hunting out any web links that begin with www. or "
    u"http:// Example, www.example.com.  If any are found they are highlighted in blue and underlined.\n\nPressing "
    u"the Ctrl button and clicking on a link, whether they are highlighted or not, will open your default browser "
    u"with that web address.\n\nHighlighting them just makes them easier to see.";
inline const std::u16string kWebsite =
    u"Website..\n\nTakes you to the Quillory home page where you can see what else we have been busy with and "
    u"pick up any handy little extras that make your day that bit easier.\n\nWe mainly make small, no-nonsense "
    u"desktop tools that sit quietly in the background until you need them.\n\nDiscount codes for our other "
    u"programmes turn up there from time to time too, so do have a look \u263A";
inline const std::u16string kPrint = u"Print..\n\nSends the current page to the printer. Simple as that.";

} // namespace quillory::help
