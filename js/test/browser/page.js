// page.js: what browser.test.mjs reads back from page.html, as JSON in the
// page: the package's answers, and whether the policy is in force.
const result = {};
try {
    eval('1');
    result.eval = 'allowed';
} catch (error) {
    result.eval = error.name;
}
try {
    onymix.generate('Male', 0);
} catch (error) {
    result.early = error.message;
}
const show = () => (document.getElementById('result').textContent = JSON.stringify(result));
onymix.ready.then(() => {
    result.version = onymix.version;
    result.generate = onymix.generate('Female', 3600);
    result.names = onymix.names(5, { mode: 'Any + Surname', seed: 1, unique: true });
    const before = Math.floor((Date.now() % 86400000) / 1000);
    result.now = onymix.generate('Any + Surname');
    result.seconds = [before, Math.floor((Date.now() % 86400000) / 1000)];
    show();
}, (error) => {
    result.failed = String(error);
    show();
});
