#include "error_texts.h"

#include "cp1251.h"
#include "result_codes.h"
#include "state_file.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <string_view>

namespace orvel {

namespace {

struct ErrorText {
    int32_t code;
    std::string_view text;
};

constexpr std::array kTexts{
    ErrorText{PortNotOpen, "Порт ККМ не открыт: сначала установите соединение"},
    ErrorText{NoSuchPort, "Нет такого порта"},
    ErrorText{BadBaudRate, "Недопустимая скорость обмена"},
    ErrorText{NullPointer, "Не передан обязательный параметр"},
    ErrorText{NoAnswer, "ККМ не отвечает"},
    ErrorText{NoSuchTable, "В ККМ нет таблицы с таким номером"},
    ErrorText{NoSuchRow, "В таблице нет строки с таким номером"},
    ErrorText{RowSizeMismatch, "Длина переданной строки не совпадает с длиной строки таблицы"},
    ErrorText{GoodsNumberOutOfRange, "Номер товара должен быть от 1 до 9999"},
    ErrorText{GoodsNameTooLong, "Наименование товара длиннее 24 символов"},
    ErrorText{BadBarcode, "Штрих-код должен состоять не более чем из 13 цифр"},
    ErrorText{BadSection, "Номер отдела должен быть числом от 0 до 16"},
    ErrorText{BadPrice, "Цена должна иметь до 7 цифр до точки и до 2 после неё"},
    ErrorText{BadFractionalFlag, "Признак дробного товара должен быть 0 или 1"},
    ErrorText{BadSales, "Сумма продаж должна иметь до 10 цифр до точки и до 2 после неё"},
    ErrorText{BadReturns, "Сумма возвратов должна иметь до 10 цифр до точки и до 2 после неё"},
    ErrorText{UnknownLogoKind, "Неизвестный вид записи логотипа"},
    ErrorText{BadLogoHeader, "Неверный заголовок логотипа: от 1 до 40 байт в строке, от 1 до 255 строк"},
    ErrorText{LogoRowBeforeHeader, "Строка логотипа передана раньше заголовка"},
    ErrorText{LogoRowLengthMismatch, "Длина строки логотипа не совпадает с заголовком"},
    ErrorText{LogoRowNumberOutOfRange, "Номер строки логотипа вне диапазона заголовка"},
    ErrorText{NoSuchJournalRecord, "В журнале нет записи с таким номером"},
    ErrorText{JournalEnd, "Достигнут конец журнала"},
    ErrorText{NoMoreOccupiedGoods, "Занятых записей товаров больше нет"},
    ErrorText{StateNotSaved, "Не удалось сохранить состояние ККМ на диск"},
    ErrorText{BadContrast, "Контраст печати должен быть от 1 до 4"},
    ErrorText{BadStretchMode, "Растяжение рекламной строки должно быть от 0 до 3"},
    ErrorText{BadPercent, "Процент должен быть от 0,00 до 99,99 в двоично-десятичном виде"},
    ErrorText{BadPermission, "Разрешение скидки или наценки должно быть от 0 до 2"},
    ErrorText{BadSpeedIndex, "Номер скорости обмена устройства должен быть от 0 до 8"},
    ErrorText{BadScalesSetting, "Интерфейс и протокол весов должны быть 0 или 1"},
    ErrorText{BadTaxCode, "Код налога отдела должен быть от 0 до 4"},
    ErrorText{BadDigits, "Разрядность отдела должна быть от 0 до 9"},
    ErrorText{BadFieldOfUse, "Сфера применения отдела должна быть 0 или 1"},
    ErrorText{OperatorServiceBytesChanged, "Служебные байты 14-16 оператора этой командой не меняются"},
    ErrorText{GarbledAnswer, "Ответ ККМ искажён: не сошлась контрольная сумма"},
    ErrorText{WriteRefused, "ККМ отказала в записи этой таблицы"},
    ErrorText{PortBusy, "Порт занят другой программой"},
};

std::string_view saveFailureReason(int failure) {
    switch (failure) {
    case NoStateFolder:
        return "не найдена домашняя папка пользователя";
    case FolderOfAnotherUser:
        return "папка состояния принадлежит другому пользователю";
    case ENOSPC:
#if defined(EDQUOT) // Windows has no disk quotas in errno
    case EDQUOT:
#endif
        return "нет места на диске";
    case EACCES:
    case EPERM:
        return "нет прав на запись в папку состояния";
    case EROFS:
        return "диск доступен только для чтения, нет прав на запись";
    case ENOTDIR:
    case EEXIST:
        return "на пути к папке состояния находится файл, а не папка";
    case EIO:
        return "ошибка ввода-вывода диска";
    default:
        return {};
    }
}

} // namespace

std::string saveFailureText(int failure) {
    const std::string prefix = toCp1251("Не удалось сохранить состояние эмулятора ККМ: ");
    const auto reason = saveFailureReason(failure);
    if (!reason.empty())
        return prefix + toCp1251(reason);
    return prefix + toCp1251("системная ошибка ") + std::to_string(failure);
}

std::string errorText(int32_t code) {
    if (code >= 0)
        return toCp1251("Ошибок нет");
    const auto known =
        std::find_if(kTexts.begin(), kTexts.end(), [code](const ErrorText& e) { return e.code == code; });
    if (known != kTexts.end())
        return toCp1251(known->text);
    return toCp1251("Неизвестная ошибка ККМ, код ") + std::to_string(code);
}

} // namespace orvel
