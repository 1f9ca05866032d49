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
</TS>
