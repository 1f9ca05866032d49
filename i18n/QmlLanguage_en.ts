<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="ru_RU">
<context>
    <name>BackupPicker</name>
    <message>
        <source>Восстановить из резервной копии</source>
        <translation>Restore from backup</translation>
    </message>
    <message>
        <source>Резервных копий нет</source>
        <translation>No backups</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
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
    <name>InterchangeMenu</name>
    <message>
        <source>Экспорт не выполнен</source>
        <translation>Export failed</translation>
    </message>
    <message>
        <source>Нет данных для экспорта, или файл не удалось записать.</source>
        <translation>There is nothing to export, or the file could not be written.</translation>
    </message>
    <message>
        <source>Файл не импортирован, ничего не изменено</source>
        <translation>File not imported; nothing was changed</translation>
    </message>
    <message>
        <source>Импортировано с предупреждениями</source>
        <translation>Imported with warnings</translation>
    </message>
    <message>
        <source>Сравнение с файлом</source>
        <translation>Comparison with a file</translation>
    </message>
    <message>
        <source>Различий нет.</source>
        <translation>No differences.</translation>
    </message>
    <message>
        <source>Текст…</source>
        <translation>Text…</translation>
    </message>
    <message>
        <source>Экспорт…</source>
        <translation>Export…</translation>
    </message>
    <message>
        <source>Импорт…</source>
        <translation>Import…</translation>
    </message>
    <message>
        <source>Сравнить с файлом…</source>
        <translation>Compare with file…</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Экспорт</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Импорт</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>Сравнить с файлом</source>
        <translation>Compare with file</translation>
    </message>
    <message>
        <source>Конфигурация или документ (*.ovc *.dcc *.yaml *.yml *.json)</source>
        <translation>Configuration or document (*.ovc *.dcc *.yaml *.yml *.json)</translation>
    </message>
    <message>
        <source>Документ YAML (*.yaml *.yml)</source>
        <translation>YAML document (*.yaml *.yml)</translation>
    </message>
    <message>
        <source>Каналы CSV (*.csv)</source>
        <translation>Channels CSV (*.csv)</translation>
    </message>
    <message>
        <source>Документ JSON (*.json)</source>
        <translation>JSON document (*.json)</translation>
    </message>
</context>
<context>
    <name>MainScreen</name>
    <message>
        <source>Рация подключена, но нет прав доступа к ней: установите правило udev 60-orvane.rules в /etc/udev/rules.d (его ставит пакет orvane) и переподключите рацию</source>
        <translation>The radio is plugged in but you may not open it: install the udev rule 60-orvane.rules into /etc/udev/rules.d (the orvane package installs it) and plug the radio in again</translation>
    </message>
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
    <message>
        <source>Операция отменена</source>
        <translation>Operation cancelled</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Резервные копии</source>
        <translation>Backups</translation>
    </message>
    <message>
        <source>Проверять запись</source>
        <translation>Verify writes</translation>
    </message>
    <message>
        <source>Несохранённые изменения</source>
        <translation>Unsaved changes</translation>
    </message>
    <message>
        <source>Изменения не сохранены в файл и не записаны в радиостанцию. Сохранить их?</source>
        <translation>The changes have been neither saved to a file nor written to the radio. Save them?</translation>
    </message>
    <message>
        <source>Резервная копия не сохранена</source>
        <translation>Backup not saved</translation>
    </message>
    <message>
        <source>Не удалось сохранить резервную копию образа радиостанции:
%1</source>
        <translation>The backup of the radio image could not be saved:
%1</translation>
    </message>
    <message>
        <source>Запись невозможна</source>
        <translation>Cannot write</translation>
    </message>
    <message>
        <source>Образ неполный, в радиостанцию ничего не записано.
%1</source>
        <translation>The image is incomplete; nothing was written to the radio.
%1</translation>
    </message>
    <message>
        <source>Другая радиостанция</source>
        <translation>Another radio</translation>
    </message>
    <message>
        <source>Радиостанция другой модели или диапазона, чем образ:
%1

Всё равно записать?</source>
        <translation>The radio is of another model or band than the image:
%1

Write anyway?</translation>
    </message>
    <message>
        <source>Запись не подтверждена</source>
        <translation>Write not verified</translation>
    </message>
    <message>
        <source>Проверка после записи нашла отличия в блоках: %1</source>
        <translation>Reading back after the write found differences in blocks: %1</translation>
    </message>
    <message>
        <source>Запись прервана</source>
        <translation>Write interrupted</translation>
    </message>
    <message>
        <source>Запись отменена на середине: в радиостанции может остаться неполный образ. Записать снова?</source>
        <translation>The write was cancelled part-way: the radio may hold an incomplete image. Write again?</translation>
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
    <name>StoredCombo</name>
    <message>
        <source>%1 (нестандартное)</source>
        <translation>%1 (non-standard)</translation>
    </message>
</context>
<context>
    <name>TabButtonsSettings</name>
    <message>
        <source>Неназначено</source>
        <translation>Unassigned</translation>
    </message>
    <message>
        <source>Включение тревоги</source>
        <translation>Alarm on</translation>
    </message>
    <message>
        <source>Выключение тревоги</source>
        <translation>Alarm off</translation>
    </message>
    <message>
        <source>Переключение мощности передачи</source>
        <translation>Transmit power switch</translation>
    </message>
    <message>
        <source>Использование ретранслятора Вкл./Выкл.</source>
        <translation>Repeater on/off</translation>
    </message>
    <message>
        <source>Сканирование Вкл./Выкл.</source>
        <translation>Scan on/off</translation>
    </message>
    <message>
        <source>Одинокий работник Вкл./Выкл.</source>
        <translation>Lone worker on/off</translation>
    </message>
    <message>
        <source>VOX Вкл./Выкл.</source>
        <translation>VOX on/off</translation>
    </message>
    <message>
        <source>Детект падения Вкл./Выкл.</source>
        <translation>Fall detection on/off</translation>
    </message>
    <message>
        <source>Шифрование Вкл./Выкл.</source>
        <translation>Encryption on/off</translation>
    </message>
    <message>
        <source>Все сигналы тревоги Вкл./Выкл.</source>
        <translation>All alerts on/off</translation>
    </message>
    <message>
        <source>Мониторинг канала</source>
        <translation>Monitor</translation>
    </message>
    <message>
        <source>Блокировка клавиатуры</source>
        <translation>Keypad lock</translation>
    </message>
    <message>
        <source>Уровень шумоподавителя</source>
        <translation>Squelch level</translation>
    </message>
    <message>
        <source>Вызов канал 1</source>
        <translation>Call channel 1</translation>
    </message>
    <message>
        <source>Вызов канал 2</source>
        <translation>Call channel 2</translation>
    </message>
    <message>
        <source>Вызов канал 3</source>
        <translation>Call channel 3</translation>
    </message>
    <message>
        <source>Вызов канал 4</source>
        <translation>Call channel 4</translation>
    </message>
    <message>
        <source>Вызов канал 5</source>
        <translation>Call channel 5</translation>
    </message>
    <message>
        <source>Вызов канал 6</source>
        <translation>Call channel 6</translation>
    </message>
    <message>
        <source>Предыдущая зона</source>
        <translation>Previous zone</translation>
    </message>
    <message>
        <source>Следующая зона</source>
        <translation>Next zone</translation>
    </message>
    <message>
        <source>Наблюдение/Скрытый режим</source>
        <translation>Covert mode</translation>
    </message>
    <message>
        <source>Переключатель шумоподавителя</source>
        <translation>Squelch toggle</translation>
    </message>
    <message>
        <source>Убрать канал</source>
        <translation>Nuisance delete</translation>
    </message>
    <message>
        <source>Запрос тревоги</source>
        <translation>Alarm request</translation>
    </message>
    <message>
        <source>Кнопки</source>
        <translation>Buttons</translation>
    </message>
    <message>
        <source>Короткое нажатие</source>
        <translation>Short press</translation>
    </message>
    <message>
        <source>Долгое нажатие</source>
        <translation>Long press</translation>
    </message>
    <message>
        <source>Оранжевая кнопка</source>
        <translation>Orange button</translation>
    </message>
    <message>
        <source>Боковая кнопка 1</source>
        <translation>Side button 1</translation>
    </message>
    <message>
        <source>Боковая кнопка 2</source>
        <translation>Side button 2</translation>
    </message>
    <message>
        <source>Верхняя вспомогательная кнопка</source>
        <translation>Top auxiliary button</translation>
    </message>
    <message>
        <source>Вверх</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>Вниз</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>Длительность долгого нажатия(ms)</source>
        <translation>Long press duration (ms)</translation>
    </message>
    <message>
        <source>Длительность нажатия отключения тревоги(s)</source>
        <translation>Alarm-off press duration (s)</translation>
    </message>
</context>
<context>
    <name>TabDMRSettings</name>
    <message>
        <source>Группа не добавлена: радиостанция хранит не больше %1 групп приема.</source>
        <translation>Group not added: the radio holds at most %1 receive groups.</translation>
    </message>
    <message>
        <source>Контакт не добавлен: в группе приема может быть не больше %1 контактов.</source>
        <translation>Contact not added: a receive group holds at most %1 contacts.</translation>
    </message>
    <message>
        <source>Контакт не добавлен: радиостанция хранит не больше %1 контактов.</source>
        <translation>Contact not added: the radio holds at most %1 contacts.</translation>
    </message>
    <message>
        <source>Ключ не добавлен: радиостанция хранит не больше %1 ключей шифрования.</source>
        <translation>Key not added: the radio holds at most %1 encryption keys.</translation>
    </message>
    <message>
        <source>Контакты</source>
        <translation>Contacts</translation>
    </message>
    <message>
        <source>Название</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Тип</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Идентификатор</source>
        <translation>Identifier</translation>
    </message>
    <message>
        <source>Тон</source>
        <translation>Tone</translation>
    </message>
    <message>
        <source>Персональный</source>
        <translation>Private</translation>
    </message>
    <message>
        <source>Групповой</source>
        <translation>Group</translation>
    </message>
    <message>
        <source>Общий</source>
        <translation>All call</translation>
    </message>
    <message>
        <source>Добавить</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Группы приема</source>
        <translation>Receive groups</translation>
    </message>
    <message>
        <source>Название новой группы</source>
        <translation>New group name</translation>
    </message>
    <message>
        <source>Общий список контактов</source>
        <translation>All contacts</translation>
    </message>
    <message>
        <source>Выбранные контакты</source>
        <translation>Selected contacts</translation>
    </message>
    <message>
        <source>Добавить &gt;&gt;</source>
        <translation>Add &gt;&gt;</translation>
    </message>
    <message>
        <source>&lt;&lt; Удалить</source>
        <translation>&lt;&lt; Remove</translation>
    </message>
    <message>
        <source>Шифрование</source>
        <translation>Encryption</translation>
    </message>
    <message>
        <source>Ключ</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>Значение</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>Ограничение радиостанции</source>
        <translation>Radio limit</translation>
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
    <name>TabGPS</name>
    <message>
        <source>Приёмник: нет данных</source>
        <translation>Receiver: no data</translation>
    </message>
    <message>
        <source>Приёмник: есть решение</source>
        <translation>Receiver: fix</translation>
    </message>
    <message>
        <source>Приёмник: нет решения</source>
        <translation>Receiver: no fix</translation>
    </message>
    <message>
        <source>, спутников: %1</source>
        <translation>, satellites: %1</translation>
    </message>
    <message>
        <source>, последнее: %1</source>
        <translation>, last fix: %1</translation>
    </message>
    <message>
        <source>В записи нет ни одного решения</source>
        <translation>The capture holds no fix</translation>
    </message>
    <message>
        <source>Файл GPX сохранён</source>
        <translation>GPX file saved</translation>
    </message>
    <message>
        <source>Файл GPX не сохранён: нет точек или нет доступа</source>
        <translation>GPX file not saved: no points, or no access</translation>
    </message>
    <message>
        <source>Открыть запись</source>
        <translation>Open capture</translation>
    </message>
    <message>
        <source>Экспорт GPX</source>
        <translation>Export GPX</translation>
    </message>
    <message>
        <source>Записи NMEA (*.nmea *.log *.txt)</source>
        <translation>NMEA captures (*.nmea *.log *.txt)</translation>
    </message>
    <message>
        <source>Все файлы (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>Порт закрыт: приёмник отключён (%1). Принятое сохранено.</source>
        <translation>Port closed: receiver unplugged (%1). What was received is kept.</translation>
    </message>
    <message>
        <source>Экспорт GPX…</source>
        <translation>Export GPX…</translation>
    </message>
    <message>
        <source>Открыть запись…</source>
        <translation>Open capture…</translation>
    </message>
    <message>
        <source>GPX приёмника…</source>
        <translation>Receiver GPX…</translation>
    </message>
    <message>
        <source>Варлин ДМР Орвейн 2.4</source>
        <translation>Varlin DMR Orvane 2.4</translation>
    </message>
    <message>
        <source>С</source>
        <translation>N</translation>
    </message>
    <message>
        <source>Ю</source>
        <translation>S</translation>
    </message>
    <message>
        <source>З</source>
        <translation>W</translation>
    </message>
    <message>
        <source>В</source>
        <translation>E</translation>
    </message>
    <message>
        <source>Порт не выбран</source>
        <translation>No port selected</translation>
    </message>
    <message>
        <source>Не удалось открыть порт %1</source>
        <translation>Could not open port %1</translation>
    </message>
    <message>
        <source> Считать данные </source>
        <translation> Read data </translation>
    </message>
    <message>
        <source> Открыть </source>
        <translation> Open </translation>
    </message>
    <message>
        <source> Сохранить </source>
        <translation> Save </translation>
    </message>
    <message>
        <source>Опрос</source>
        <translation>Polling</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Фильтрация:</source>
        <translation>Filter:</translation>
    </message>
    <message>
        <source>Дата</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Время</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Долгота</source>
        <translation>Longitude</translation>
    </message>
    <message>
        <source>З/В</source>
        <translation>W/E</translation>
    </message>
    <message>
        <source>Широта</source>
        <translation>Latitude</translation>
    </message>
    <message>
        <source>С/Ю</source>
        <translation>N/S</translation>
    </message>
    <message>
        <source>Идентификатор</source>
        <translation>Identifier</translation>
    </message>
    <message>
        <source>ВКЛ</source>
        <translation>On</translation>
    </message>
    <message>
        <source>Цвет</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>Выберите дату для фильтрации треков:</source>
        <translation>Choose a date to filter the tracks:</translation>
    </message>
    <message>
        <source> Применить </source>
        <translation> Apply </translation>
    </message>
    <message>
        <source> Закрыть </source>
        <translation> Close </translation>
    </message>
    <message>
        <source>Выберите время для фильтрации треков:</source>
        <translation>Choose an hour to filter the tracks:</translation>
    </message>
    <message>
        <source>ru_RU</source>
        <translation>en_GB</translation>
    </message>
</context>
<context>
    <name>TabMainSettings</name>
    <message>
        <source>ВЫКЛ</source>
        <translation>OFF</translation>
    </message>
    <message>
        <source>ВКЛ</source>
        <translation>ON</translation>
    </message>
    <message>
        <source>Основные</source>
        <translation>Basic</translation>
    </message>
    <message>
        <source>Название радиостанции</source>
        <translation>Radio name</translation>
    </message>
    <message>
        <source>Текст заставки</source>
        <translation>Power-on text</translation>
    </message>
    <message>
        <source>Идентификация</source>
        <translation>Identification</translation>
    </message>
    <message>
        <source>Идентификационный номер</source>
        <translation>Identification number</translation>
    </message>
    <message>
        <source>Шумоподавление нормальный уровень</source>
        <translation>Squelch, normal level</translation>
    </message>
    <message>
        <source>Шумоподавление сильный уровень</source>
        <translation>Squelch, tight level</translation>
    </message>
    <message>
        <source>Преамбула передачи(мс)</source>
        <translation>Transmit preamble (ms)</translation>
    </message>
    <message>
        <source>Усиление звука в цифровом канале</source>
        <translation>Digital channel audio gain</translation>
    </message>
    <message>
        <source>Список тонов</source>
        <translation>Tone list</translation>
    </message>
    <message>
        <source>Частота(Гц)</source>
        <translation>Frequency (Hz)</translation>
    </message>
    <message>
        <source>Длительность(мс)</source>
        <translation>Duration (ms)</translation>
    </message>
    <message>
        <source>Тон %1</source>
        <translation>Tone %1</translation>
    </message>
    <message>
        <source>Прямой канал</source>
        <translation>Direct mode</translation>
    </message>
    <message>
        <source>Время задержки группового вызова (мс)</source>
        <translation>Group call hang time (ms)</translation>
    </message>
    <message>
        <source>Время задержки персонального вызова (мс)</source>
        <translation>Private call hang time (ms)</translation>
    </message>
    <message>
        <source>Ретранслятор</source>
        <translation>Repeater</translation>
    </message>
    <message>
        <source>Сканирование</source>
        <translation>Scan</translation>
    </message>
    <message>
        <source>Время задержки на аналоговом канале (мс)</source>
        <translation>Analogue channel hang time (ms)</translation>
    </message>
    <message>
        <source>Время задержки на цифровом канале (мс)</source>
        <translation>Digital channel hang time (ms)</translation>
    </message>
    <message>
        <source>Микрофон</source>
        <translation>Microphone</translation>
    </message>
    <message>
        <source>Уровень усиления</source>
        <translation>Gain level</translation>
    </message>
    <message>
        <source>Голосовая активация передачи (VOX)</source>
        <translation>Voice operated transmit (VOX)</translation>
    </message>
    <message>
        <source>Чувствительность</source>
        <translation>Sensitivity</translation>
    </message>
    <message>
        <source>Уровень </source>
        <translation>Level </translation>
    </message>
    <message>
        <source> (Высокий)</source>
        <translation> (High)</translation>
    </message>
    <message>
        <source>Задержка</source>
        <translation>Hold time</translation>
    </message>
    <message>
        <source>Bluetooth (беспроводная передача)</source>
        <translation>Bluetooth (wireless)</translation>
    </message>
    <message>
        <source>Навигация</source>
        <translation>Navigation</translation>
    </message>
    <message>
        <source>Активация</source>
        <translation>Activation</translation>
    </message>
    <message>
        <source>Интервал записи (c)</source>
        <translation>Logging interval (s)</translation>
    </message>
    <message>
        <source>Индикация</source>
        <translation>Indication</translation>
    </message>
    <message>
        <source>Акселерометр (датчик падения)</source>
        <translation>Accelerometer (fall sensor)</translation>
    </message>
    <message>
        <source>Задержка перед тревогой (с)</source>
        <translation>Delay before alarm (s)</translation>
    </message>
    <message>
        <source>Задержка отключения тревоги(с)</source>
        <translation>Alarm clear delay (s)</translation>
    </message>
    <message>
        <source>Время оповещения перед тревогой(с)</source>
        <translation>Pre-alert time (s)</translation>
    </message>
    <message>
        <source>Условия срабатывания</source>
        <translation>Trigger</translation>
    </message>
    <message>
        <source>Угол</source>
        <translation>Angle</translation>
    </message>
    <message>
        <source>Остановка</source>
        <translation>No motion</translation>
    </message>
    <message>
        <source>Угол или остановка</source>
        <translation>Angle or no motion</translation>
    </message>
    <message>
        <source>Угол отклонения</source>
        <translation>Tilt angle</translation>
    </message>
    <message>
        <source>Сервисные настройки</source>
        <translation>Service data</translation>
    </message>
    <message>
        <source>Серийный номер</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Название модели</source>
        <translation>Model name</translation>
    </message>
    <message>
        <source>Аппаратная версия</source>
        <translation>Hardware version</translation>
    </message>
</context>
<context>
    <name>TabZone</name>
    <message>
        <source>Зона не добавлена: радиостанция хранит не больше %1 зон.</source>
        <translation>Zone not added: the radio holds at most %1 zones.</translation>
    </message>
    <message>
        <source>Канал не добавлен: в зоне может быть не больше %1 каналов.</source>
        <translation>Channel not added: a zone holds at most %1 channels.</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>Добавить</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Название новой зоны</source>
        <translation>New zone name</translation>
    </message>
    <message>
        <source>Общий список каналов</source>
        <translation>All channels</translation>
    </message>
    <message>
        <source>Выбранные каналы</source>
        <translation>Selected channels</translation>
    </message>
    <message>
        <source>Добавить &gt;&gt;</source>
        <translation>Add &gt;&gt;</translation>
    </message>
    <message>
        <source>&lt;&lt; Удалить</source>
        <translation>&lt;&lt; Remove</translation>
    </message>
    <message>
        <source>Ограничение радиостанции</source>
        <translation>Radio limit</translation>
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
</TS>
