// Texts that only the page has (the browser's own limits); every other text
// comes from the core or the window's files. English for each is in
// po/en.po.
export const pageTexts = {
  noSerialCaption: 'Sériový port nie je dostupný',
  noSerial:
    'Tento prehliadač nevie pracovať so sériovým portom (Web Serial). Otvorte stránku v prehliadači ' +
    'Google Chrome, Microsoft Edge alebo Opera na počítači (Windows, Linux, macOS alebo ChromeOS).',
  notSecure:
    'Sériový port sa dá použiť len na stránke otvorenej cez https://, z adresy localhost alebo zo ' +
    'súboru v počítači (file://).',
  permissionIf: 'Ak port nepoužíva iný program: ',
  linuxDevices: '/dev/ttyUSB* alebo /dev/ttyACM*',
  readFault: 'Linka hlásila chybu príjmu; prijímam ďalej: ',
  unnamedPort: 'bez mena',
  openFailed: 'Nemôžem otvoriť súbor ',
  saveFailed: 'Nemôžem uložiť súbor ',
  noWebAssembly: 'Tento prehliadač nevie spustiť WebAssembly, ktoré prekladač potrebuje.',
  exactValue: 'Presná hodnota',
  yes: 'Áno',
  no: 'Nie',
  ok: 'OK',
  cancel: 'Zrušiť',
} as const;
