<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="ru_RU">
<context>
    <name>main</name>
    <message>
        <source>Orvane </source>
        <translation>Orvane </translation>
    </message>
    <message>
        <source>2.7</source>
        <translation>2.7</translation>
    </message>
    <message>
        <source> — ЭМУЛЯТОР РАДИОСТАНЦИИ</source>
        <translation> — EMULATED RADIO</translation>
    </message>
</context>
<context>
    <name>FrequencyTable</name>
    <message>
        <source>НЕТ</source>
        <translation>NONE</translation>
    </message>
    <message>
        <source>НЕТ_</source>
        <translation>NONE_</translation>
    </message>
    <message>
        <source>ЦИФРОВОЙ</source>
        <translation>DIGITAL</translation>
    </message>
    <message>
        <source>АНАЛОГОВЫЙ</source>
        <translation>ANALOGUE</translation>
    </message>
    <message>
        <source>Канал</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>Имя</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Вид канала</source>
        <translation>Channel type</translation>
    </message>
    <message>
        <source>Принимающая
частота</source>
        <translation>Receive
frequency</translation>
    </message>
    <message>
        <source>Передающая
частота</source>
        <translation>Transmit
frequency</translation>
    </message>
    <message>
        <source>Высокая
мощность</source>
        <translation>High
power</translation>
    </message>
    <message>
        <source>Цветовой код</source>
        <translation>Colour code</translation>
    </message>
    <message>
        <source>Группа приема</source>
        <translation>Receive group</translation>
    </message>
    <message>
        <source>Контакт</source>
        <translation>Contact</translation>
    </message>
    <message>
        <source>Ширина
канала кГц</source>
        <translation>Channel
width kHz</translation>
    </message>
    <message>
        <source>Шифрование</source>
        <translation>Encryption</translation>
    </message>
    <message>
        <source>Прием
QT/DQT</source>
        <translation>Receive
QT/DQT</translation>
    </message>
    <message>
        <source>Передача
QT/DQT</source>
        <translation>Transmit
QT/DQT</translation>
    </message>
    <message>
        <source>Навигация</source>
        <translation>Navigation</translation>
    </message>
    <message>
        <source>Передача
PTT-ID</source>
        <translation>Transmit
PTT-ID</translation>
    </message>
</context>
<context>
    <name>InfoWindow</name>
    <message>
        <source>О программе</source>
        <translation>About</translation>
    </message>
    <message>
        <source>&quot;Варлин&quot;</source>
        <translation>&quot;Varlin&quot;</translation>
    </message>
    <message>
        <source>Orvane </source>
        <translation>Orvane </translation>
    </message>
    <message>
        <source>2.7</source>
        <translation>2.7</translation>
    </message>
    <message>
        <source>Произведено:</source>
        <translation>Manufactured by:</translation>
    </message>
    <message>
        <source>Сайт:</source>
        <translation>Web site:</translation>
    </message>
    <message>
        <source>Сборка от:</source>
        <translation>Build of:</translation>
    </message>
    <message>
        <source>Orvane</source>
        <translation>Orvane</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>MainScreen</name>
    <message>
        <source>Считать</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>Записать</source>
        <translation>Write</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>    Настройки частот    </source>
        <translation>    Channels    </translation>
    </message>
    <message>
        <source>    Зоны    </source>
        <translation>    Zones    </translation>
    </message>
    <message>
        <source>    Основные настройки    </source>
        <translation>    Basic settings    </translation>
    </message>
    <message>
        <source>    Настройка кнопок    </source>
        <translation>    Buttons    </translation>
    </message>
    <message>
        <source>Настройки DMR</source>
        <translation>DMR settings</translation>
    </message>
    <message>
        <source>Навигация</source>
        <translation>Navigation</translation>
    </message>
    <message>
        <source>Для начала работы 
нажмите &apos;Cчитать&apos;</source>
        <translation>To start, 
press &apos;Read&apos;</translation>
    </message>
    <message>
        <source>Загрузка данных с радиостанции:</source>
        <translation>Loading data from the radio:</translation>
    </message>
    <message>
        <source>Не выключайте радиостанцию до звукового сигнала! 
 
 Запись данных на радиостанцию:</source>
        <translation>Do not switch the radio off before the beep! 
 
 Writing data to the radio:</translation>
    </message>
    <message>
        <source>Запись данных завершена!</source>
        <translation>Writing finished!</translation>
    </message>
    <message>
        <source>Запись данных
завершилась ошибкой</source>
        <translation>Writing data
failed</translation>
    </message>
    <message>
        <source>Данные успешно
сохранены</source>
        <translation>Data saved
successfully</translation>
    </message>
    <message>
        <source>Сохранение
завершилось ошибкой</source>
        <translation>Saving
failed</translation>
    </message>
    <message>
        <source>Ошибка чтения данных
из файла</source>
        <translation>Error reading data
from the file</translation>
    </message>
    <message>
        <source>Устройство не найдено.
Проверьте подключение устройства.

Повторное подключение  </source>
        <translation>Device not found.
Check the device connection.

Reconnecting  </translation>
    </message>
    <message>
        <source>Устройство не найдено.
Проверьте подключение устройства</source>
        <translation>Device not found.
Check the device connection</translation>
    </message>
    <message>
        <source>Данных нет</source>
        <translation>No data</translation>
    </message>
    <message>
        <source>Выберите файл для открытия</source>
        <translation>Choose a file to open</translation>
    </message>
    <message>
        <source>Выберите файл для сохранения</source>
        <translation>Choose a file to save to</translation>
    </message>
</context>
<context>
    <name>MessageBox</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>TabFrequency</name>
    <message>
        <source>Добавить</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Удалить выбранный</source>
        <translation>Remove selected</translation>
    </message>
    <message>
        <source>Имя нового канала</source>
        <translation>New channel name</translation>
    </message>
    <message>
        <source>Недопустимое имя канала</source>
        <translation>Invalid channel name</translation>
    </message>
    <message>
        <source>Имя канала может содержать не более 16 символов.</source>
        <translation>A channel name may hold at most 16 characters.</translation>
    </message>
    <message>
        <source>Введение имя канала уже используется. Введите другое имя.</source>
        <translation>The channel name entered is already in use. Enter another name.</translation>
    </message>
    <message>
        <source>Список каналов заполнен</source>
        <translation>The channel list is full</translation>
    </message>
    <message>
        <source>В радиостанции помещается не более 999 каналов. Удалите ненужный канал, чтобы добавить новый.</source>
        <translation>The radio holds at most 999 channels. Remove a channel you do not need to add a new one.</translation>
    </message>
</context>
<context>
    <name>TopPanel</name>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Заводские настройки</source>
        <translation>Factory settings</translation>
    </message>
    <message>
        <source>ЭМУЛЯТОР РАДИОСТАНЦИИ</source>
        <translation>EMULATED RADIO</translation>
    </message>
</context>
<context>
    <name>ValueEditor</name>
    <message>
        <source>Значение:</source>
        <translation>Value:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
</TS>
