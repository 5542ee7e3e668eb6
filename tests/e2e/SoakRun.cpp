#include "SoakRun.h"

#include "ProgramCaptions.h"
#include "res/resource.h"
#include "tests/support/BrowserLog.h"
#include "tests/support/LocalService.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace qx::test {
namespace {

const MessageText kNoReply = {"サーバエラー", "データの受信ができませんでした。\nしばらく時間をおいてから検索してください。"};
const MessageText kNotFound = {"検索結果", "検索条件に該当する宿泊施設は見つかりませんでした。"};
const MessageText kServerError = {"サーバエラー", "サーバでエラーが発生しました。\nしばらく時間をおいてから検索してください。"};

const char* const kPlaceQueries[] = {"東京", "新宿", "大阪", "京都", "横浜", "名古屋", "札幌",
                                     "空港", "温泉", "城",   "駅",   "該当なしの地名"};
// The area with the most hotels in the service's table.
const AreaChoice kBusiestArea = {"東京都", "東京23区内", "新宿区"};
constexpr int kPlaceNameColumn = 2;
// A given-up fetch ends within its five-second network time-outs; this leaves room.
constexpr DWORD kIdleServiceMs = 15000;

std::string HotelNumber(const std::string& hotel) {
    return std::to_string(std::strtol(Element(hotel, "hotelNo").c_str(), nullptr, 10));
}

std::vector<std::string> HotelNumbers(const std::string& reply) {
    std::vector<std::string> numbers;
    for (const std::string& hotel : Elements(reply, "hotel")) {
        numbers.push_back(HotelNumber(hotel));
    }
    return numbers;
}

std::vector<std::string> HotelNames(const std::string& reply) {
    std::vector<std::string> names;
    for (const std::string& hotel : Elements(reply, "hotel")) {
        names.push_back(ToCodePage932(Element(hotel, "hotelName")));
    }
    return names;
}

std::string StatusOf(const std::string& reply) {
    return Element(Element(reply, "Header"), "Status");
}

// What the program makes of a reply with a zero byte at the fault's offset:
// its text ends there, so it reads "NotFound" or the hotel numbers, each
// followed by a blank, of what stands before the zero.
std::string ZeroByteOutcome(const std::string& reply) {
    const std::string read = reply.substr(0, std::min(FaultPlan::kZeroByteOffset, reply.size()));
    if (StatusOf(read) == "NotFound") {
        return "NotFound";
    }
    std::string numbers;
    for (const std::string& number : HotelNumbers(read)) {
        numbers += number + " ";
    }
    return numbers;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) {
        text += part + " ";
    }
    return text;
}

// The last request after the first `skip` whose target contains marker.
std::string LastRequest(std::size_t skip, const std::string& marker) {
    std::string found;
    for (const LoggedRequest& request : RequestsSince(skip)) {
        if (request.target.find(marker) != std::string::npos) {
            found = request.target;
        }
    }
    return found;
}

// The place names of a geocoding page: rows of at least four cells.
std::vector<std::string> PlaceNames(const std::string& page) {
    std::vector<std::string> names;
    for (const std::string& row : Elements(page, "tr")) {
        const std::vector<std::string> cells = Elements(row, "td");
        if (cells.size() >= 4) {
            names.push_back(cells[0]);
        }
    }
    return names;
}

// How long a failing picture fetch takes to be given up, with a margin.
DWORD PictureFailureMs(Fault fault) {
    if (FaultPlan::Stalls(fault)) {
        return 6500;
    }
    return fault == Fault::Reset ? 2500 : 1500;
}

void ExpectRequestFor(const std::string& target, const SearchForm& form) {
    char part[160];
    std::snprintf(part, sizeof part, "checkinDate=%04d-%02d-%02d&checkoutDate=%04d-%02d-%02d", form.checkin.wYear,
                  form.checkin.wMonth, form.checkin.wDay, form.checkout.wYear, form.checkout.wMonth, form.checkout.wDay);
    EXPECT_NE(target.find(part), std::string::npos) << target;
    std::snprintf(part, sizeof part, "adultNum=%d&upClassNum=%d&infantWithMBNum=%d&roomNum=%d", form.adults,
                  form.children, form.infants, form.rooms);
    EXPECT_NE(target.find(part), std::string::npos) << target;
    std::snprintf(part, sizeof part, "&minCharge=%d&maxCharge=%d", form.minCharge, form.maxCharge);
    if (form.budget) {
        EXPECT_NE(target.find(part), std::string::npos) << target;
    } else {
        EXPECT_EQ(target.find("Charge="), std::string::npos) << "an unticked budget was sent: " << target;
    }
}

}  // namespace

SoakRun::SoakRun(Program& program, unsigned seed, bool longForm)
    : program_(program), random_(seed), faults_(random_), longForm_(longForm) {}

bool SoakRun::Start() {
    HWND dialog = program_.WaitForWindow(kSearchCaption, 20000);
    if (dialog == nullptr) {
        ADD_FAILURE() << "no search conditions dialog at start-up";
        return false;
    }
    // Random conditions may find nothing; the dialog then stays for another
    // try, and after a few misses a plain stay in the busiest area, which
    // finds hotels whatever the seed, gets the run going.
    for (int attempt = 0; attempt < 6 && IsWindow(dialog); ++attempt) {
        SearchForm form = attempt < 5 ? SearchForm::Random(random_) : SearchForm::Plain();
        if (attempt < 5) {
            form.ChooseArea(dialog, random_);
        } else {
            form.ChooseArea(dialog, kBusiestArea);
        }
        form.FillStay(dialog);
        Count("start-up search", Fault::None, Search(dialog, form, Fault::None, true));
    }
    main_ = program_.WaitForWindow(kMainCaption);
    if (main_ == nullptr) {
        ADD_FAILURE() << "no main window after the start-up search";
        return false;
    }

    // The waiting picture as the plan window shows it, while the picture is held back.
    HWND plan = OpenFirstPlan("delay", 3);
    if (plan == nullptr) {
        return false;
    }
    Sleep(1200);
    HWND picture = GetDlgItem(plan, IDC_HOTEL_PICTURE);
    waitingPicture_ = ScreenPixels(picture);
    EXPECT_TRUE(WaitFor([&] { return ScreenPixels(picture) != waitingPicture_; }, 8000))
        << "the hotel picture never replaced the waiting picture";
    ClosePlan(plan, Fault::None);
    ClearFaults();
    CheckSettled("start-up");
    return !waitingPicture_.empty();
}

void SoakRun::RandomStep() {
    ClearFaults();
    const int pick = Between(0, 19);
    if (pick < 7) {
        AreaSearch();
    } else if (pick < 10) {
        LandmarkSearch();
    } else if (pick < 12) {
        RefusedSearch();
    } else {
        PlanWindow();
    }
    ClearFaults();
    CheckSettled("step");
}

DWORD SoakRun::MsUntilFaultsEnd() const {
    const DWORD limit = (FaultPlan::kSearchStallSeconds + 3) * 1000;
    const DWORD elapsed = GetTickCount() - lastStallTick_;
    return !stalled_ || elapsed >= limit ? 0 : limit - elapsed;
}

void SoakRun::AreaSearch() {
    const MainView before = View();
    HWND dialog = OpenSearchDialog();
    if (dialog == nullptr) {
        return;
    }
    SearchForm form = SearchForm::Random(random_);
    form.ChooseArea(dialog, random_);
    form.FillStay(dialog);
    const Fault fault = faults_.Pick(FaultTarget::Search);
    const std::string outcome = Search(dialog, form, fault);
    if (IsWindow(dialog)) {
        CancelSearchDialog(dialog, before);
    }
    Count("area search", fault, outcome);
}

void SoakRun::LandmarkSearch() {
    const MainView before = View();
    HWND dialog = OpenSearchDialog();
    if (dialog == nullptr) {
        return;
    }
    SearchForm form = SearchForm::Random(random_);
    const bool faultOnLookup = Between(0, 1) == 0;
    const Fault lookupFault = faultOnLookup ? faults_.Pick(FaultTarget::Geocode) : Fault::None;
    const std::string step = faultOnLookup ? "landmark lookup" : "landmark search";
    const std::string query = kPlaceQueries[Between(0, static_cast<int>(std::size(kPlaceQueries)) - 1)];
    if (!PickLandmark(dialog, form, lookupFault, query)) {
        CancelSearchDialog(dialog, before);
        Count(step, lookupFault, lookupFault == Fault::None ? "no place listed" : "lookup failed, list empty");
        return;
    }
    form.FillStay(dialog);
    const Fault searchFault = faultOnLookup ? Fault::None : faults_.Pick(FaultTarget::Search);
    const std::string outcome = Search(dialog, form, searchFault);
    if (IsWindow(dialog)) {
        CancelSearchDialog(dialog, before);
    }
    Count(step, faultOnLookup ? lookupFault : searchFault, outcome);
}

void SoakRun::RefusedSearch() {
    static const char* const kNames[] = {"", "check-out not after check-in", "check-in past", "budget reversed",
                                         "landmark without name"};
    const auto refusal = static_cast<Refusal>(Between(1, 4));
    const MainView before = View();
    HWND dialog = OpenSearchDialog();
    if (dialog == nullptr) {
        return;
    }
    SearchForm form = SearchForm::Random(random_);
    if (refusal == Refusal::NoLandmarkName) {
        // A geocoding page whose one place has an empty name, served to the
        // program and to the check of its list alike.
        const std::string page =
            "<html><body><table><tr><th>名称</th><th>所在地</th><th>緯度</th><th>経度</th></tr>"
            "<tr><td></td><td>所在地不明</td><td>35.681236</td><td>139.767125</td></tr></table></body></html>";
        AwaitIdleService();
        EXPECT_NE(Fetch("/_control/page?count=2&path=/php/geoscan.php&body=" + PercentEncodeAll(page)).find("armed"),
                  std::string::npos);
        if (!PickLandmark(dialog, form, Fault::None, "名無し")) {
            CancelSearchDialog(dialog, before);
            return;
        }
    } else {
        form.ChooseArea(dialog, random_);
        form.Spoil(refusal, random_);
    }
    form.FillStay(dialog);
    // Refused conditions make no request, so a fault armed for it stays unused.
    const Fault fault = faults_.Pick(FaultTarget::Search);
    AwaitIdleService();
    FaultPlan::Arm(FaultTarget::Search, fault);
    const std::size_t logStart = RequestLog().size();
    Click(dialog, IDOK);
    const MessageText expected = SearchForm::MessageFor(refusal);
    ExpectMessage(expected, 10000, kNames[static_cast<int>(refusal)]);
    EXPECT_EQ(LastRequest(logStart, "VacantHotelSearch"), "") << "refused conditions reached the service";
    CancelSearchDialog(dialog, before);
    Count(std::string("refused: ") + kNames[static_cast<int>(refusal)], fault, "message " + expected.caption);
}

void SoakRun::PlanWindow() {
    HWND list = GetDlgItem(main_, IDC_HOTEL_LIST);
    const int rows = RowCount(list);
    if (rows == 0) {
        Count("plan window", Fault::None, "skipped, empty list");
        return;
    }
    const int row = Between(0, rows - 1);
    SelectRow(list, row);
    const std::string name = Cell(list, row, 1);
    const Fault fault = faults_.Pick(FaultTarget::Picture);
    Arm(FaultTarget::Picture, fault);
    const std::size_t logStart = RequestLog().size();
    const bool byDoubleClick = Between(0, 1) == 0;
    if (byDoubleClick) {
        DoubleClickRow(list, row);
    } else {
        Click(main_, IDC_PLAN_BUTTON);
    }
    HWND plan = program_.WaitForWindow(name + kPlanCaptionEnd, 10000);
    if (plan == nullptr) {
        ADD_FAILURE() << "no plan window for " << name << (byDoubleClick ? " (double click)" : "");
        return;
    }
    const bool closeEarly = Between(0, 3) == 0;
    if (closeEarly) {
        Sleep(static_cast<DWORD>(Between(0, 300)));
    } else {
        ExpectPicture(plan, fault, logStart);
    }
    ClosePlan(plan, fault);
    Count("plan window", fault, closeEarly ? "closed at once, no file left" : "picture as expected, no file left");
}

void SoakRun::LeaveAStalledDownload() {
    HWND plan = OpenFirstPlan("hang", FaultPlan::kSearchStallSeconds);
    if (plan != nullptr) {
        Click(plan, IDC_PLAN_CLOSE);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(plan); }, 5000)) << "the plan window did not close";
    }
}

// The plan window of the first row, once its picture request has reached the
// service, which plays faultKind on it.
HWND SoakRun::OpenFirstPlan(const std::string& faultKind, int seconds) {
    HWND list = GetDlgItem(main_, IDC_HOTEL_LIST);
    SelectRow(list, 0);
    AwaitIdleService();
    ArmFault("/img/", faultKind, "&seconds=" + std::to_string(seconds));
    const std::size_t logStart = RequestLog().size();
    Click(main_, IDC_PLAN_BUTTON);
    HWND plan = program_.WaitForWindow(Cell(list, 0, 1) + kPlanCaptionEnd, 10000);
    EXPECT_NE(plan, nullptr) << "no plan window";
    EXPECT_TRUE(WaitFor([&] { return !LastRequest(logStart, "/img/").empty(); }, 5000)) << "no picture request";
    return plan;
}

void SoakRun::Arm(FaultTarget target, Fault fault) {
    AwaitIdleService();
    EXPECT_TRUE(FaultPlan::Arm(target, fault)) << FaultPlan::Name(fault);
    if (FaultPlan::Stalls(fault)) {
        lastStallTick_ = GetTickCount();
        stalled_ = true;
    }
}

void SoakRun::AwaitIdleService() {
    const DWORD start = GetTickCount();
    EXPECT_TRUE(WaitFor([] { return ServiceBusy() == 0; }, kIdleServiceMs))
        << "the service still answers " << ServiceBusy() << " request(s) after " << (GetTickCount() - start) / 1000
        << " s: a fetch given up earlier is still alive";
}

HWND SoakRun::OpenSearchDialog() {
    Click(main_, IDC_SEARCH_BUTTON);
    HWND dialog = program_.WaitForWindow(kSearchCaption, 10000);
    EXPECT_NE(dialog, nullptr) << "the search button opened no dialog";
    return dialog;
}

bool SoakRun::PickLandmark(HWND dialog, SearchForm& form, Fault lookupFault, const std::string& query) {
    PostMessageA(GetDlgItem(dialog, IDC_LANDMARK_RADIO), BM_CLICK, 0, 0);
    HWND landmark = program_.WaitForWindow(kLandmarkCaption);
    if (landmark == nullptr) {
        ADD_FAILURE() << "no landmark dialog";
        return false;
    }
    SetText(landmark, IDC_LANDMARK_TEXT, query);
    Arm(FaultTarget::Geocode, lookupFault);
    const std::size_t logStart = RequestLog().size();
    Click(landmark, IDC_LANDMARK_SEARCH);
    HWND searchButton = GetDlgItem(landmark, IDC_LANDMARK_SEARCH);
    std::string target;
    EXPECT_TRUE(WaitFor([&] {
        target = LastRequest(logStart, "/php/geoscan.php");
        return !target.empty() && IsWindowEnabled(searchButton);
    }, 15000)) << "the landmark lookup did not end";
    HWND places = GetDlgItem(landmark, IDC_LANDMARK_LIST);
    const std::vector<std::string> expected =
        lookupFault == Fault::None ? PlaceNames(Fetch(target)) : std::vector<std::string>();
    EXPECT_EQ(Column(places, kPlaceNameColumn), expected) << "lookup " << target;
    const int rows = RowCount(places);
    if (rows == 0) {
        Click(landmark, IDCANCEL);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(landmark); }, 5000));
        EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_AREA_RADIO), BM_GETCHECK, 0, 0), BST_CHECKED)
            << "a cancelled landmark dialog returns to the search by area";
        return false;
    }
    const int row = Between(0, rows - 1);
    SelectRow(places, row);
    form.landmarkName = Cell(places, row, kPlaceNameColumn);
    form.nearLandmark = true;
    EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(landmark, IDOK)) != FALSE; }, 3000));
    Click(landmark, IDOK);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(landmark); }, 5000));
    EXPECT_EQ(ItemText(dialog, IDC_LANDMARK_NAME), form.landmarkName);
    return true;
}

std::string SoakRun::Search(HWND dialog, const SearchForm& form, Fault fault, bool startUp) {
    Arm(FaultTarget::Search, fault);
    const std::size_t logStart = RequestLog().size();
    Click(dialog, IDOK);
    if (FaultPlan::FailsTheFetch(fault)) {
        return AwaitFetchFailure(dialog, fault);
    }
    return AwaitReply(dialog, form, fault, logStart, startUp);
}

// A fetch that fails ends the attempt with the no-reply message; a stalled
// one either runs into the time limit or is cancelled in the progress window,
// which leaves the dialog open without a message.
std::string SoakRun::AwaitFetchFailure(HWND dialog, Fault fault) {
    const std::string name = FaultPlan::Name(fault);
    const bool stalls = FaultPlan::Stalls(fault);
    if (stalls && (longForm_ ? Between(0, 1) == 0 : Between(0, 5) != 0)) {
        HWND progress = program_.WaitForWindow(kProgressCaption, 10000);
        EXPECT_NE(progress, nullptr) << "no progress window under " << name;
        Sleep(static_cast<DWORD>(Between(300, 1500)));
        Click(progress, IDCANCEL);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(progress) || !IsWindowVisible(progress); }, 4000))
            << "the progress window stayed after cancelling " << name;
        // A message for the cancel would open before the program's thread
        // answers again, so once the search dialog answers none may be open.
        EXPECT_TRUE(Responds(dialog)) << "no answer after cancelling " << name;
        EXPECT_EQ(program_.FindWindow(kNoReply.caption), nullptr) << "a message after cancelling " << name;
        return "cancelled, no message";
    }
    const DWORD start = GetTickCount();
    ExpectMessage(kNoReply, stalls ? 45000 : 15000, name);
    const DWORD seconds = (GetTickCount() - start + 500) / 1000;
    if (fault == Fault::Drip) {
        // Pieces keep coming, so only the 30-second limit ends the wait.
        EXPECT_GE(seconds, 29u) << "a dripping reply was given up early";
    }
    return stalls ? "no-reply message after " + std::to_string(seconds / 5 * 5) + "+ s" : "no-reply message";
}

std::string SoakRun::AwaitReply(HWND dialog, const SearchForm& form, Fault fault, std::size_t logStart,
                                bool startUp) {
    if (fault == Fault::NotFound || fault == Fault::ServerError) {
        ExpectMessage(fault == Fault::NotFound ? kNotFound : kServerError, 15000, FaultPlan::Name(fault));
        return fault == Fault::NotFound ? "not-found message" : "server-error message";
    }
    EXPECT_TRUE(WaitFor([&] {
        return !IsWindow(dialog) || program_.FindWindow(kNotFound.caption) != nullptr ||
               program_.FindWindow(kNoReply.caption) != nullptr;
    }, 20000)) << "the search neither ended nor showed a message";
    const std::string target = LastRequest(logStart, "operation=VacantHotelSearch");
    EXPECT_FALSE(target.empty()) << "no search reached the service";
    const std::string reply = Fetch(target);
    const std::string zeroByteOutcome = fault == Fault::ZeroByte ? ZeroByteOutcome(reply) : std::string();
    const bool notFound = fault == Fault::ZeroByte ? zeroByteOutcome == "NotFound" : StatusOf(reply) == "NotFound";
    if (IsWindow(dialog)) {
        EXPECT_TRUE(notFound) << "the dialog stayed open for a reply that found hotels: " << target;
        ExpectMessage(kNotFound, 5000, "reply " + target);
        return "not-found message";
    }
    ExpectRequestFor(target, form);
    if (main_ == nullptr) {
        main_ = program_.WaitForWindow(kMainCaption);
    }
    HWND list = GetDlgItem(main_, IDC_HOTEL_LIST);
    const Summaries expected = form.Expected();
    EXPECT_TRUE(WaitFor([&] { return View().summaries == expected; }, 3000))
        << "summaries: " << View().summaries.area << " | " << View().summaries.period << " | "
        << View().summaries.people << " | " << View().summaries.options << "; expected " << expected.area << " | "
        << expected.period << " | " << expected.people << " | " << expected.options;
    std::vector<std::string> shown = Column(list, 0);
    if (fault == Fault::ZeroByte) {
        EXPECT_EQ(Joined(shown), zeroByteOutcome) << "rows after a zero byte";
        return "list refilled from the readable part";
    }
    std::vector<std::string> numbers = HotelNumbers(reply);
    if (startUp) {
        // The first list is sorted by name; later ones keep the reply's order.
        std::sort(shown.begin(), shown.end());
        std::sort(numbers.begin(), numbers.end());
    } else {
        EXPECT_EQ(Column(list, 1), HotelNames(reply));
    }
    EXPECT_EQ(shown, numbers) << target;
    return "list refilled";
}

void SoakRun::ExpectMessage(const MessageText& expected, DWORD limitMs, const std::string& what) {
    const MessageBoxSeen box = AnswerMessageBox(program_, expected.caption, limitMs);
    EXPECT_TRUE(box.found) << what << ": no message box " << expected.caption;
    EXPECT_EQ(box.text, expected.text) << what;
}

void SoakRun::CancelSearchDialog(HWND dialog, const MainView& before) {
    EXPECT_TRUE(IsWindowVisible(dialog)) << "the search dialog closed after a failure";
    Click(dialog, IDCANCEL);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }, 5000)) << "the search dialog did not cancel";
    EXPECT_TRUE(View() == before) << "a failed or cancelled search changed the main window";
}

void SoakRun::ExpectPicture(HWND plan, Fault fault, std::size_t logStart) {
    HWND picture = GetDlgItem(plan, IDC_HOTEL_PICTURE);
    const std::string hotelPicture = TempFile("hotel_image.jpg");
    if (fault == Fault::None) {
        // The file first, then the screen: a window still being painted also
        // differs from the waiting picture.
        std::string target;
        EXPECT_TRUE(WaitFor([&] { return !(target = LastRequest(logStart, "/img/")).empty(); }, 5000))
            << "no picture request";
        const std::string expected = Fetch(target);
        EXPECT_TRUE(WaitFor([&] { return ReadWholeFile(hotelPicture) == expected; }, 8000))
            << "the hotel picture file never held " << target;
        EXPECT_TRUE(WaitFor([&] { return ScreenPixels(picture) != waitingPicture_; }, 3000))
            << "the hotel picture never replaced the waiting picture";
        return;
    }
    Sleep(PictureFailureMs(fault));
    EXPECT_TRUE(ScreenPixels(picture) == waitingPicture_) << "the waiting picture went under " << FaultPlan::Name(fault);
    if (fault != Fault::NotJpeg) {
        EXPECT_EQ(ReadWholeFile(hotelPicture), "") << "a failed download left bytes in the hotel picture";
    }
}

void SoakRun::ClosePlan(HWND plan, Fault fault) {
    switch (Between(0, 2)) {
    case 0:
        Click(plan, IDC_PLAN_CLOSE);
        break;
    case 1:
        Click(plan, IDC_PLAN_CANCEL);
        break;
    default:
        PostMessageA(plan, WM_CLOSE, 0, 0);
        break;
    }
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(plan); }, 8000)) << "the plan window did not close";
    EXPECT_FALSE(FileExists(TempFile("hotel_image.jpg")));
    EXPECT_FALSE(FileExists(TempFile("wait_image.jpg")));
    // The download's private file goes with its worker, which a stalled
    // service may keep a little longer than the window.
    const DWORD limit = FaultPlan::Stalls(fault) ? (FaultPlan::kShortStallSeconds + 4) * 1000 : 4000;
    EXPECT_TRUE(WaitFor([] { return TempFilesMatching("qxp*.tmp").empty(); }, limit))
        << "left behind: " << Joined(TempFilesMatching("qxp*.tmp")) << " under " << FaultPlan::Name(fault);
}

void SoakRun::CheckSettled(const std::string& step) {
    EXPECT_TRUE(Responds(main_)) << step << ": the program does not answer";
    for (HWND window : program_.VisibleWindows()) {
        if (window != main_) {
            ADD_FAILURE() << step << ": window left open: " << Text(window);
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            WaitFor([&] { return !IsWindow(window); }, 3000);
        }
    }
}

MainView SoakRun::View() const {
    MainView view;
    view.hotelNumbers = Column(GetDlgItem(main_, IDC_HOTEL_LIST), 0);
    view.summaries = {ItemText(main_, IDC_AREA_SUMMARY),   ItemText(main_, IDC_PERIOD_SUMMARY),
                      ItemText(main_, IDC_BUDGET_SUMMARY), ItemText(main_, IDC_PEOPLE_SUMMARY),
                      ItemText(main_, IDC_ROOMS_SUMMARY),  ItemText(main_, IDC_OPTIONS_SUMMARY)};
    return view;
}

void SoakRun::Count(const std::string& step, Fault fault, const std::string& outcome) {
    ++stepsByFault_[step + " / " + FaultPlan::Name(fault)];
    ++outcomes_[step + ": " + outcome];
}

void SoakRun::PrintTally(std::FILE* out) const {
    std::fprintf(out, "steps by kind and fault:\n");
    for (const auto& [key, count] : stepsByFault_) {
        std::fprintf(out, "  %4d  %s\n", count, key.c_str());
    }
    std::fprintf(out, "outcomes:\n");
    for (const auto& [key, count] : outcomes_) {
        std::fprintf(out, "  %4d  %s\n", count, key.c_str());
    }
}

}  // namespace qx::test
