// TOwnColouring.
#include "OwnColouring.h"

#include "Cp932Codec.h"
#include "Editor.h"

namespace quire {

TOwnColouring TOwnColouring::Normal(const TMyProp& S) {
    TOwnColouring c;
    c.Url = true;
    c.Mail = true;
    c.Commenter = cp932::FromUnicode(S.QuoteMark);
    return c;
}

TOwnColouring TOwnColouring::User(const TMyProp& S, const std::vector<std::string>& Words) {
    TOwnColouring c;
    c.Quotation = cp932::FromUnicode(S.UserStr);
    c.Commenter = cp932::FromUnicode(S.UserComment);
    c.LeftBracket = cp932::FromUnicode(S.UserLeftBracket);
    c.RightBracket = cp932::FromUnicode(S.UserRightBracket);
    c.ReserveWords = Words;
    return c;
}

void TOwnColouring::ApplyTo(TEditor& E) const {
    TEditorViewInfo& v = E.View();
    v.SetUrl(Url);
    v.SetMail(Mail);
    v.SetCommenter(Commenter);
    v.SetQuotation(Quotation);
    TEditorBracketCollection& brackets = v.Brackets();
    if (brackets.Count() == 0) {
        brackets.AddBracket(LeftBracket, RightBracket);
    } else if (TFountainBracketItem* first = brackets.Items(0);
               first->LeftBracket != LeftBracket || first->RightBracket != RightBracket) {
        // Writing the two strings notifies nobody: the colouring is told once they are set.
        first->LeftBracket = LeftBracket;
        first->RightBracket = RightBracket;
        v.Fountain().NotifyEventList().Changed();
    }
    E.SetReserveWordList(ReserveWords);
}

} // namespace quire
