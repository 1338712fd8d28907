// page.js: what Onymix's controls do in the browser. Names come from the
// library (onymix.generate), and stored.txt, Store and Quit follow the
// program's own rules compiled into it (onymix.storedText,
// onymix.storedBytes, onymix.store and onymix.quitQuestion); this file
// converts and calls. The stored names are kept in localStorage after every
// change.
(function () {
    'use strict';

    const $ = (id) => document.getElementById(id);
    const nameBox = $('name');
    const stored = $('stored');
    const mode = $('mode');
    const generateButton = $('generate');
    const openInput = $('open');
    const saveButton = $('save');
    const menuButton = $('menu-button');
    const menu = $('menu');
    const items = [...menu.querySelectorAll('[role="menuitem"]')];
    const about = $('about');
    const dialog = $('message');

    const LIST_KEY = 'onymix.stored';
    const ENCODING_KEY = 'onymix.encoding';
    // What a list typed into a fresh page is saved as: the browser's own
    // text, UTF-8, with no mark.
    const PLAIN = { mark: null, charset: 'utf-8' };
    const DAY_MS = 86400000;
    const WINDOW_WIDTH = 288;

    let encoding = PLAIN;

    function say(text) {
        $('status').textContent = text;
    }

    function reason(error) {
        return error.message.replace(/^onymix: /, '');
    }

    function describe({ mark, charset }) {
        const name = charset === 'utf-8' ? 'UTF-8' : charset;
        if (mark === null)
            return name;
        if (mark === 'utf-8')
            return charset === 'utf-8' ? 'UTF-8 with its mark' : `${name} behind the UTF-8 mark`;
        return mark === 'utf-16le' ? 'UTF-16 LE' : 'UTF-16 BE';
    }

    // Keeping the list in the browser.

    function keep() {
        try {
            localStorage.setItem(LIST_KEY, stored.value);
            localStorage.setItem(ENCODING_KEY, JSON.stringify(encoding));
        } catch (error) {
            say(`The stored names cannot be kept in this browser: ${error.message}`);
        }
    }

    function restore() {
        try {
            const list = localStorage.getItem(LIST_KEY);
            if (list !== null)
                stored.value = list;
            const kept = JSON.parse(localStorage.getItem(ENCODING_KEY));
            if (kept && typeof kept === 'object')
                encoding = { mark: kept.mark, charset: kept.charset };
        } catch (error) {
            say(`The stored names kept in this browser cannot be read: ${error.message}`);
        }
    }

    // Another tab of the page changed the list.
    addEventListener('storage', (event) => {
        if (event.key === LIST_KEY && event.newValue !== null)
            stored.value = event.newValue;
        else if (event.key === ENCODING_KEY && event.newValue !== null)
            restore();
    });

    // The message box: resolves with the answer; Escape gives the last one.
    function message(text, answers, kind) {
        return new Promise((resolve) => {
            $('message-text').textContent = text;
            $('message-icon').dataset.kind = kind;
            const buttons = answers.map((answer) => {
                const button = document.createElement('button');
                button.type = 'button';
                button.className = 'push';
                button.textContent = answer;
                button.addEventListener('click', () => dialog.close(answer));
                return button;
            });
            $('message-buttons').replaceChildren(...buttons);
            dialog.returnValue = '';
            dialog.addEventListener('close',
                () => resolve(dialog.returnValue || answers[answers.length - 1]), { once: true });
            dialog.showModal();
            buttons[0].focus();
        });
    }

    // Generate, Store, Open, Save and Quit.

    function generate() {
        // "Now" as the library reads it in a browser: the milliseconds since
        // midnight UTC. The second is handed over, and kept, so that
        // onymix.generate(mode, data-second) gives this name again.
        const second = Math.floor((Date.now() % DAY_MS) / 1000);
        nameBox.value = onymix.generate(mode.value, second);
        nameBox.dataset.second = String(second);
    }

    function storeName() {
        // The program's own Store; the text area shows its CR LF as a line
        // break.
        stored.value = onymix.store(stored.value, nameBox.value);
        stored.scrollTop = stored.scrollHeight;
        keep();
    }

    // The stored text's CR LF as the box's line breaks. A CR on its own,
    // which a text area cannot hold, is left out: the save drops it anyway.
    function boxText(text) {
        return text.replace(/\r\n/g, '\n').replace(/\r/g, '');
    }

    async function openFile() {
        const file = openInput.files[0];
        if (!file)
            return;
        let loaded;
        try {
            loaded = onymix.storedText(await file.arrayBuffer());
        } catch (error) {
            const why = error instanceof RangeError ? 'it holds characters Onymix cannot show' : reason(error);
            await message(`Can't read file ${file.name}: ${why}`, ['OK'], 'error');
            return;
        } finally {
            // So that the same file can be opened again.
            openInput.value = '';
        }
        stored.value = boxText(loaded.text);
        encoding = loaded.encoding;
        keep();
        say(`Opened ${file.name}: ${describe(encoding)}.`);
    }

    // Downloads stored.txt; false when the list cannot be written.
    async function save() {
        let bytes;
        try {
            bytes = onymix.storedBytes(stored.value, encoding);
        } catch (error) {
            const opened = encoding.charset === 'utf-8' ? '' : `, the encoding of the stored.txt that was opened`;
            await message(`Can't save stored names: ${reason(error)}${opened}.`, ['OK'], 'error');
            return false;
        }
        const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
        const link = document.createElement('a');
        link.href = url;
        link.download = 'stored.txt';
        link.click();
        setTimeout(() => URL.revokeObjectURL(url), 60000);
        say(`Saved stored.txt: ${describe(encoding)}.`);
        return true;
    }

    // The program ends here; a page stays, so it shows that it has ended.
    function end() {
        closeMenu(false);
        if (about.open)
            about.close();
        $('running').hidden = true;
        $('ended').hidden = false;
        $('restart').focus();
    }

    async function quit() {
        // The program's own Quit: a question only for a list, and Yes saves.
        const question = onymix.quitQuestion(stored.value);
        if (question !== null && (await message(question, ['Yes', 'No'], 'question')) === 'Yes' &&
            !(await save()))
            return;
        end();
    }

    function restart() {
        $('ended').hidden = true;
        $('running').hidden = false;
        generateButton.focus();
    }

    // The menu: a button that opens a popup of menu items, worked with the
    // arrow keys, Enter or Space, Escape and the items' underlined letters.

    function openMenu(index) {
        menu.hidden = false;
        menuButton.setAttribute('aria-expanded', 'true');
        items[(index + items.length) % items.length].focus();
    }

    function closeMenu(refocus) {
        if (menu.hidden)
            return;
        menu.hidden = true;
        menuButton.setAttribute('aria-expanded', 'false');
        if (refocus)
            menuButton.focus();
    }

    function openAbout() {
        if (!about.open)
            about.show();
        $('close').focus();
    }

    function closeAbout() {
        about.close();
        menuButton.focus();
    }

    const commands = {
        'about-item': openAbout,
        'exit-item': quit,
    };

    menuButton.addEventListener('click', () => (menu.hidden ? openMenu(0) : closeMenu(true)));
    menuButton.addEventListener('keydown', (event) => {
        if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
            event.preventDefault();
            openMenu(event.key === 'ArrowDown' ? 0 : -1);
        }
    });
    menu.addEventListener('click', (event) => {
        const item = event.target.closest('[role="menuitem"]');
        if (!item || item.getAttribute('aria-disabled') === 'true')
            return;
        closeMenu(true);
        commands[item.id]();
    });
    menu.addEventListener('keydown', (event) => {
        const at = items.indexOf(document.activeElement);
        const key = event.key.toLowerCase();
        if (key === 'arrowdown' || key === 'arrowup') {
            openMenu(at + (key === 'arrowdown' ? 1 : -1));
        } else if (key === 'home' || key === 'end') {
            openMenu(key === 'home' ? 0 : -1);
        } else if (key === 'escape') {
            closeMenu(true);
        } else if (key === 'tab') {
            // Focus goes on from the menu title, to the control after it.
            closeMenu(true);
            return;
        } else {
            const item = items.find((candidate) => candidate.dataset.key === key);
            if (item)
                item.click();
            return;
        }
        event.preventDefault();
    });
    document.addEventListener('pointerdown', (event) => {
        if (!menu.contains(event.target) && event.target !== menuButton)
            closeMenu(false);
    });
    document.addEventListener('keydown', (event) => {
        if (event.key === 'F10' && !dialog.open) {
            event.preventDefault();
            openMenu(0);
        }
    });

    about.addEventListener('keydown', (event) => {
        if (event.key === 'Escape')
            closeAbout();
    });

    // The window scales down, never reflows, on a screen narrower than it.
    function fit() {
        const style = getComputedStyle(document.body);
        const room = document.documentElement.clientWidth - parseFloat(style.paddingLeft) -
            parseFloat(style.paddingRight);
        document.documentElement.style.setProperty('--scale', String(Math.min(1, room / WINDOW_WIDTH)));
    }
    addEventListener('resize', fit);
    fit();

    restore();
    stored.addEventListener('input', keep);
    generateButton.addEventListener('click', generate);
    $('store').addEventListener('click', storeName);
    $('quit').addEventListener('click', quit);
    $('close-box').addEventListener('click', end);
    $('restart').addEventListener('click', restart);
    $('close').addEventListener('click', closeAbout);
    openInput.addEventListener('change', openFile);
    saveButton.addEventListener('click', save);

    onymix.ready.then(() => {
        $('version').textContent = `Onymix ${onymix.version}`;
        generateButton.disabled = false;
        openInput.disabled = false;
        saveButton.disabled = false;
    }, (error) => say(`Onymix could not start: ${error.message}`));
})();
